// What start-up found, for whoever asks:
// QT_LOGGING_RULES="zemtori.startup.info=true".
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(startup_log)
