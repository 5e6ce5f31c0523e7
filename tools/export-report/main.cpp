#include <string>
#include <vector>

#include "tools/export-report/export_report.h"

int main(int argc, char** argv)
{
    export_report::InstallInterruptHandlers();
    std::vector<std::string> args(argv + 1, argv + argc);
    return export_report::Run(args);
}
