// Resource ids of the dialog tests' own templates.
#pragma once

#define IDD_TEST_PLAIN 200
#define IDD_TEST_CENTER 201
#define IDD_TEST_OK_ONLY 202
#define IDC_TEST_LIST 1003
