// Writes the whole report for one export: the skeleton here, the DATA part's sections
// in the order the layout gives (report/sections/ holds the section writers).
#pragma once

#include <string>

#include "host/host_records.h"
#include "platform/progress.h"
#include "report/sections/sections.h"

class ClXmlWriter;

// How one report is written besides its figures.
struct StReportSettings {
    short category = 0;   // BusinessCategory
    // PROGRAMNAME when SUPPORT.INF names no product: the edition's own name.
    std::string defaultProgramName;
    platform::IProgress* progress = nullptr;
    // The bar moves from here to 1000 while the report is written.
    short progressBase = 500;
};

class ClReportBuilder {
public:
    ClReportBuilder(const sections::StFigures& figures, StReportSettings settings);

    int WriteReport(const char* path, short functionId, const StDATAINFO* dataInfo);
    // After a failed WriteReport: where the whole report stayed because it could not be
    // put in the destination's place (empty when the destination is as it was), and
    // what failed with the system's reason.
    const std::string& KeptPath() const { return m_keptPath; }
    const std::string& FailureText() const { return m_failureText; }

private:
    // The parts of the report. Write failures stay with the writer, read once at the
    // end of WriteReport; 0 means the part cannot be written from what it was given.
    void WriteSystem(ClXmlWriter& writer, short functionId);
    int WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo);
    int WriteData(ClXmlWriter& writer, const StDATAINFO* dataInfo);   // report/layout.cpp
    void Pulse();
    void Advance(short from, short to);

    sections::StFigures m_figures;
    StReportSettings m_settings;
    std::string m_keptPath;
    std::string m_failureText;
};
