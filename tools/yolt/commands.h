// The yolt commands. Each returns the process's exit code.
#pragma once

#include <string>

#include "tools/yolt/session.h"

namespace yolt::cli {

int Detect(Session& session, bool json);
int Upgrade(Session& session, const std::string& package);
int Recover(Session& session);
int Eject(Session& session);
int About(Session& session, bool setLocale, ULONG locale);
int Scan(Session& session);
int Inspect(Session& session, const std::string& package);

}  // namespace yolt::cli
