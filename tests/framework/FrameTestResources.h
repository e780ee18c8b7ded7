// Resource ids of the framework's window tests.
#pragma once

#define IDR_TEST 300
#define ID_TEST_REFRESH 33001   // frame; F5; toolbar button 1
#define ID_TEST_TOGGLE 33002    // frame, with a check mark; toolbar button 2
#define ID_TEST_SHARED 33003    // view, frame and application
#define ID_TEST_FRAME_APP 33004 // frame and application
#define ID_TEST_APP 33005       // application only; toolbar button 3
#define ID_TEST_NOBODY 33006    // no handler anywhere
