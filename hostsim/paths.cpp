// hostpaths: the host's folders, from "folders" of the host data store.
#include <string>

#include "host/host_paths.h"
#include "hostsim/store.h"

ClFileMgr* ClFileMgr::Inst()
{
    static ClFileMgr manager;
    return &manager;
}

const char* ClFileMgr::GetAppFolderPath(_FolderType type)
{
    // One buffer per folder type, kept apart from the store so that a reload of the store
    // does not pull the text away; the caller copies it at once anyway.
    static std::string output;
    static std::string settings;
    static const std::string none;
    hostsim::LogCall("GetAppFolderPath", std::to_string(static_cast<long>(type)));
    const hostsim::Store& store = hostsim::CurrentStore();
    switch (type) {
    case FOLDER_OUTPUT:
        output = store.outputFolder;
        return output.c_str();
    case FOLDER_SETTINGS:
        settings = store.settingsFolder;
        return settings.c_str();
    }
    return none.c_str();
}
