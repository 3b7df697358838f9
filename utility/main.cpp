// The one application object of YoltUtility; the framework's entry runs it.
#include "utility/utility_app.h"

UtilityApp theApp;
