// Resource, control and command ids of the controller.
#pragma once

#define IDD_MAIN_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_VERSION_TEXT 1160
#define IDC_EXPORT_REPORT 1000
#define IDC_RENDERER_COMBO 5015
#define IDC_RENDERER_LINK 5016
#define IDC_RENDERER_LABEL 5017
#define IDC_RENDERER_GROUP 5018
#define IDC_INFO_LINK 5020

#define ID_PLUGIN_STATUS 101
#define ID_RESET_SETTINGS 102
#define ID_PRODUCT_PAGE 104

// The list data of a dialog template: control id, add-string message, text.
#include "app/framework/DlgInit.h"

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
