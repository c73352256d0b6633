// The program's one application object; the framework's entry point runs it.
#include "app/corvale_app.h"

CCorvaleApp theApp;
