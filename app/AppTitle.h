#pragma once

#include <QString>

// The application's title: the task bar's and the error boxes' caption.
inline const QString kAppTitle = QStringLiteral("ZuvozeRaro");
