// hostpaths: the host's folders.
#pragma once

class ClFileMgr {
public:
    enum _FolderType : long { FOLDER_OUTPUT = 0, FOLDER_SETTINGS = 1 };
    static ClFileMgr* Inst();
    // Folder of the given type, ending with a backslash; empty when none. The text
    // belongs to the library: copy it at once.
    const char* GetAppFolderPath(_FolderType type);

private:
    ClFileMgr() = default;
};
