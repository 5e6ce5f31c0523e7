// ClExportApp::CheckEnvironment with any TaxvaneDef.ini beside the program: usable
// exactly when [ProgramLevel] TV14 reads as level 2; every refusal shows one
// exclamation box with the caption, and no box otherwise.
#include <cstring>

#include "app/export_app.h"
#include "fuzz_support.h"
#include "hostsim/hostsim.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    unsetenv("LEDGRA_HOST_DATA");
    unsetenv("LEDGRA_HOST_LOG");
    // The messages go through the host's DispMsg; its store needs nothing else.
    if (!hostsim::LoadStoreFromText("{}")) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();
    // The program's folder, once with a double-byte name whose trail byte is 0x5C (表).
    const std::string folder = (mode & 4) ? "C:\\\x95\x5C" : "C:\\Ledgra";
    const std::string body = in.Rest();
    std::string ini;
    switch (mode & 3) {
    case 0: ini = "[ProgramLevel]\r\nTV14=" + body + "\r\n"; break;
    case 1: ini = body; break;
    case 2: ini = "[programlevel]\r\n tv14 = " + body; break;
    default: break;   // no file
    }

    fuzz::FakeServices services;
    services.fs.AddDirectory(folder);
    services.fs.SetCurrentDirValue(folder + ((mode & 8) ? "\\" : ""));
    const std::string path = folder + "\\TaxvaneDef.ini";
    if ((mode & 3) != 3) services.fs.AddFile(path, ini);

    ClExportApp app;
    const int usable = app.CheckEnvironment((mode & 16) ? 0 : 1);

    bool expected = false;
    if ((mode & 3) != 3) {
        const std::string value = services.fs.GetProfileString(path, "ProgramLevel", "TV14", "1", 16);
        expected = !value.empty() && std::strtol(value.c_str(), nullptr, 10) == 2;
    }
    FUZZ_CHECK((usable != 0) == expected, "compatibility verdict");
    const std::size_t boxes = (!expected && !(mode & 16)) ? 1 : 0;
    FUZZ_CHECK(services.boxes.shown.size() == boxes, "message boxes shown");
    if (boxes) {
        FUZZ_CHECK(services.boxes.shown[0].type == platform::MB_TYPE_ICONEXCLAMATION, "box type");
        FUZZ_CHECK(services.boxes.shown[0].caption == "\x8F\x8A\x93\xBE\x90\xC5", "box caption");
    }
    return 0;
}
