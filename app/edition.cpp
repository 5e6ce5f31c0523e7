#include "app/edition.h"

namespace {
const ClEdition kPro{3, "LedgraProExport.env", "Ledgra２０ PRO"};
const ClEdition kBasic{0, "LedgraBasicExport.env", "Ledgra２０"};
}  // namespace

const ClEdition& ProEdition() { return kPro; }
const ClEdition& BasicEdition() { return kBasic; }
