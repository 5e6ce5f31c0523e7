#include "app/edition.h"

namespace {
const ClEdition kPro{3, "LedgraProExport.env", "Ledgra２０ PRO"};
const ClEdition kBasic{0, "LedgraBasicExport.env", "Ledgra２０"};
const ClEdition* g_current = &kPro;
}  // namespace

const ClEdition& ProEdition() { return kPro; }
const ClEdition& BasicEdition() { return kBasic; }
const ClEdition& CurrentEdition() { return *g_current; }
void SetCurrentEdition(const ClEdition& edition) { g_current = &edition; }
