// The report skeleton: declaration, REPORT, SYSTEM and BASIC around the DATA section.
#include "report/report_builder.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "common/kinds.h"
#include "common/version.h"
#include "platform/services.h"
#include "report/full_width.h"
#include "report/report_fields.h"
#include "report/report_file.h"
#include "report/support_info.h"
#include "report/xml_writer.h"

namespace {
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
// The program's own version text: string resource 1, this text where there is none
// (native tools and tests have no resources).
const char kConnectedProgramVersion[] = LEDGRA_PROGRAM_VERSION;
const int kVersionStringId = 1;
const char kDefaultProgramVersion[] = "20.00.0X";
}  // namespace

ClReportBuilder::ClReportBuilder(const sections::StFigures& figures, StReportSettings settings)
    : m_figures(figures), m_settings(std::move(settings))
{
}

void ClReportBuilder::Pulse()
{
    if (m_settings.progress) m_settings.progress->Pulse();
}

void ClReportBuilder::Advance(short from, short to)
{
    if (m_settings.progress) m_settings.progress->Advance(from, to);
}

int ClReportBuilder::WriteReport(const char* path, short functionId, const StDATAINFO* dataInfo)
{
    m_keptPath.clear();
    m_failureText.clear();
    ClReportFile file;
    ClXmlWriter writer;

    // Write calls return nothing: a file that cannot be created, like any failed write,
    // stays failed in the file, and nothing more reaches the disk after it. The error
    // is read once, below.
    writer.Open(&file, path);
    writer.WriteRaw(kDeclaration);
    writer.WriteStartTag("REPORT", 0);
    Pulse();

    WriteSystem(writer, functionId);
    Pulse();
    // A part that cannot be written from what it was given refuses the report; the
    // parts after it do not start.
    int ok = WriteBasic(writer, dataInfo);
    if (ok) {
        Pulse();
        ok = WriteData(writer, dataInfo);
    }
    if (ok) Pulse();

    // The closing tag and every earlier write must succeed before the report is put in
    // the destination's place. A report that is not whole never takes it: after a
    // refused section the closing tag is still written, and the file could pass for a
    // complete report. An exception on the way leaves it to the file's destructor,
    // which only abandons.
    writer.WriteEndTag("REPORT", 0);
    const bool written = !writer.Failed();
    writer.Close();
    const bool committed = ok && written && file.Commit();
    if (!committed) file.Abandon();
    m_keptPath = file.KeptPath();
    m_failureText = file.FailureText();
    return committed ? 1 : 0;
}

void ClReportBuilder::WriteSystem(ClXmlWriter& writer, short functionId)
{
    using namespace report_fields;
    ClSupportInfo support;   // read on the first lookup, released when this section ends
    char value[ClSupportInfo::kValueSize];

    Start(writer, "SYSTEM", 1);
    Text(writer, "GYOUMUPREFIX", "TV14", 2);
    Pulse();
    Text(writer, "VERSION", "1", 2);
    Pulse();
    Number(writer, "FUNCTIONID", functionId, 2);
    Pulse();
    std::string ownVersion;
    platform::IUi* ui = platform::GetServices().ui;
    if (ui == nullptr || !ui->LoadString(kVersionStringId, ownVersion) || ownVersion.empty() ||
        ownVersion.size() > 255)
        ownVersion = kConnectedProgramVersion;
    Text(writer, "CONNECTEDPROGRAMVER", ownVersion.c_str(), 2);
    Pulse();

    std::strcpy(value, support.GetProductName());
    if (!value[0]) std::snprintf(value, sizeof value, "%s", m_settings.defaultProgramName.c_str());
    Text(writer, "PROGRAMNAME", value, 2);
    Pulse();

    std::strcpy(value, support.GetProductVersion());
    if (!value[0]) std::strcpy(value, kDefaultProgramVersion);
    Text(writer, "PROGRAMVER", value, 2);
    Pulse();

    End(writer, "SYSTEM", 1);
    Advance(m_settings.progressBase, static_cast<short>(m_settings.progressBase + 100));
}

int ClReportBuilder::WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo)
{
    using namespace report_fields;
    if (!dataInfo) return 0;

    Start(writer, "BASIC", 1);
    // The record's name field may lack its NUL: take at most 255 bytes of it.
    char company[sizeof dataInfo->szCompanyName];
    std::memcpy(company, dataInfo->szCompanyName, sizeof company);
    company[sizeof company - 1] = '\0';
    SlotText(writer, "KOMONSAKINAME", ToFullWidthName(company).c_str(), kFullWidthResultSize, 2);
    Pulse();
    Text(writer, "AOSIROKUBUN", dataInfo->cReturnKind == kWhiteReturn ? "2" : "1", 2);
    Pulse();
    Number(writer, "JIGYOUNENDOFROM", dataInfo->lPeriodStart, 2);
    Pulse();
    Number(writer, "JIGYOUNENDOTO", dataInfo->lPeriodEnd, 2);
    Pulse();
    Number(writer, "SYOTOKUSYURUI", m_settings.category, 2);
    Pulse();
    End(writer, "BASIC", 1);
    Advance(static_cast<short>(m_settings.progressBase + 100), static_cast<short>(m_settings.progressBase + 200));
    return 1;
}
