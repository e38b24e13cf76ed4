// Names shared by the service helper XSrvSetup.exe and the tests that check on it.
#pragma once

// The Windows service that "XSrvSetup.exe -i" registers (own process, demand start).
#define XSRV_SERVICE_NAME L"CorviskService"
#define XSRV_SERVICE_DISPLAY_NAME L"Corvisk Service"
// Environment variable naming the helper's log file; without it the log is this file.
#define XSRV_LOG_VARIABLE L"XSRV_LOG"
#define XSRV_DEFAULT_LOG L"C:\\XSrvSetup.log"
