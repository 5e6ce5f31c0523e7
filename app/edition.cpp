#include "app/edition.h"

#include "common/program_texts.h"

namespace {
const ClEdition kPro{3, "LedgraProExport.env", texts::kProProgramName};
const ClEdition kBasic{0, "LedgraBasicExport.env", texts::kBasicProgramName};
}  // namespace

const ClEdition& ProEdition() { return kPro; }
const ClEdition& BasicEdition() { return kBasic; }
