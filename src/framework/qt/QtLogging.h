// The core's log categories as Qt logging categories of the same name. Their debug output is
// off unless Qt's logging rules switch it on, for example
// QT_LOGGING_RULES="quillmoor.redeye.debug=true"; lines then go to Qt's message handler.
#pragma once

void InstallQtLogging();
