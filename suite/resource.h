// Control ids of the suite installer's dialog templates.
#ifndef SUITE_RESOURCE_H
#define SUITE_RESOURCE_H

// Proceed and the finish boxes' OK use IDOK (1), Cancel IDCANCEL (2).
#define IDC_INTRO_TEXT 7     // the explanatory text of a page or finish box
#define IDC_STATUS_LABEL 101 // set by a product step when it starts
#define IDC_DIRECTORY 102    // the installation directory the user edits
#define IDC_BROWSE 103

#endif
