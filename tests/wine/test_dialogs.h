// Dialog templates used only by the Wine tests of the platform layer.
#pragma once

#define IDD_TEST_MODAL 900
#define IDC_TEST_EDIT 901
#define IDC_TEST_BUTTON 902
#define IDC_TEST_RADIO 903
