#include "app/edition.h"

#include "common/program_texts.h"

namespace {
const ClEdition kPro{ClSysEnvMgr::APP_PROFESSIONAL, "LedgraProExport.env", texts::kProProgramName};
const ClEdition kBasic{ClSysEnvMgr::APP_STANDARD, "LedgraBasicExport.env", texts::kBasicProgramName};
}  // namespace

const ClEdition& ProEdition() { return kPro; }
const ClEdition& BasicEdition() { return kBasic; }
