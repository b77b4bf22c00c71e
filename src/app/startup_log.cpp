#include "app/startup_log.h"

Q_LOGGING_CATEGORY(startup_log, "zemtori.startup", QtWarningMsg)
