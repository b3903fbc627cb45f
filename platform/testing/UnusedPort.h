#pragma once
// A TCP port on 127.0.0.1 on which nothing listens, for tests that start a
// server there or need a dead address.

namespace tellurio::testing {

// A port the system just handed out and took back; 0 when none was had.
int UnusedPort();

}  // namespace tellurio::testing
