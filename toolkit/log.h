#pragma once

#include <QString>

// One line to the platform's debug output, marked as the program's: "Horavis " and the message.
void logme(const QString& message);
