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

    // A file that cannot be created shows at the first write that is tested.
    writer.Open(&file, path);
    writer.WriteRaw(kDeclaration);
    writer.WriteStartTag("REPORT", 0);
    Pulse();

    int ok = WriteSystem(writer, functionId);
    if (ok) {
        Pulse();
        ok = WriteBasic(writer, dataInfo);
    }
    if (ok) {
        Pulse();
        ok = WriteData(writer, dataInfo);
    }
    if (ok) Pulse();

    // The closing tag and every earlier write must succeed before the report is put in
    // the destination's place. A report that is not whole never takes it: after a
    // failed section the closing tag is still written, and the file could pass for a
    // complete report. An exception on the way leaves it to the file's destructor,
    // which only abandons.
    const int endWritten = writer.WriteEndTag("REPORT", 0);
    writer.Close();
    const bool committed = ok && endWritten && file.Commit();
    if (!committed) file.Abandon();
    m_keptPath = file.KeptPath();
    m_failureText = file.FailureText();
    return committed ? 1 : 0;
}

int ClReportBuilder::WriteSystem(ClXmlWriter& writer, short functionId)
{
    using namespace report_fields;
    ClSupportInfo support;   // read on the first lookup, released when this section ends
    char value[ClSupportInfo::kValueSize];

    if (!Start(writer, "SYSTEM", 1)) return 0;
    if (!Text(writer, "GYOUMUPREFIX", "TV14", 2)) return 0;
    Pulse();
    if (!Text(writer, "VERSION", "1", 2)) return 0;
    Pulse();
    if (!Number(writer, "FUNCTIONID", functionId, 2)) return 0;
    Pulse();
    std::string ownVersion;
    platform::IUi* ui = platform::GetServices().ui;
    if (ui == nullptr || !ui->LoadString(kVersionStringId, ownVersion) || ownVersion.empty() ||
        ownVersion.size() > 255)
        ownVersion = kConnectedProgramVersion;
    if (!Text(writer, "CONNECTEDPROGRAMVER", ownVersion.c_str(), 2)) return 0;
    Pulse();

    std::strcpy(value, support.GetProductName());
    if (!value[0]) std::snprintf(value, sizeof value, "%s", m_settings.defaultProgramName.c_str());
    if (!Text(writer, "PROGRAMNAME", value, 2)) return 0;
    Pulse();

    std::strcpy(value, support.GetProductVersion());
    if (!value[0]) std::strcpy(value, kDefaultProgramVersion);
    if (!Text(writer, "PROGRAMVER", value, 2)) return 0;
    Pulse();

    if (!End(writer, "SYSTEM", 1)) return 0;
    Advance(m_settings.progressBase, static_cast<short>(m_settings.progressBase + 100));
    return 1;
}

int ClReportBuilder::WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo)
{
    using namespace report_fields;
    if (!dataInfo) return 0;

    if (!Start(writer, "BASIC", 1)) return 0;
    // The record's name field may lack its NUL: take at most 255 bytes of it.
    char company[sizeof dataInfo->szCompanyName];
    std::memcpy(company, dataInfo->szCompanyName, sizeof company);
    company[sizeof company - 1] = '\0';
    if (!SlotText(writer, "KOMONSAKINAME", ToFullWidthName(company).c_str(), kFullWidthResultSize, 2)) return 0;
    Pulse();
    if (!Text(writer, "AOSIROKUBUN", dataInfo->cReturnKind == kWhiteReturn ? "2" : "1", 2)) return 0;
    Pulse();
    if (!Number(writer, "JIGYOUNENDOFROM", dataInfo->lPeriodStart, 2)) return 0;
    Pulse();
    if (!Number(writer, "JIGYOUNENDOTO", dataInfo->lPeriodEnd, 2)) return 0;
    Pulse();
    if (!Number(writer, "SYOTOKUSYURUI", m_settings.category, 2)) return 0;
    Pulse();
    if (!End(writer, "BASIC", 1)) return 0;
    Advance(static_cast<short>(m_settings.progressBase + 100), static_cast<short>(m_settings.progressBase + 200));
    return 1;
}
