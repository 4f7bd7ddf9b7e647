#pragma once
/// Diagnostics of the wind library: error and warning reports, the always-on
/// contract check, and the indentation of the printed state.
#include <ostream>
#include <string>

/// Reports an error on standard error and ends the program with status 1.
/// Level 0 silences the report (and the program goes on).
void debug_error(const std::string& message, int level);

/// Reports a warning on standard error; the program goes on. Level 0 silences it.
void debug_warning(const std::string& message, int level);

/// Stops the program on a broken contract; the report carries `expression`.
[[noreturn]] void wind_check_failed(const char* expression, const char* file, int line);

/// Contract check kept in every build: its text is the checked expression.
#define WIND_CHECK(expr) \
    ((expr) ? static_cast<void>(0) : wind_check_failed(#expr, __FILE__, __LINE__))

/// Current indentation of the printed state, in spaces.
extern int num_space;

/// Indents the printing of one object: 4 more spaces while it lives.
class print_scope {
public:
    print_scope();
    ~print_scope();
    print_scope(const print_scope&) = delete;
    print_scope& operator=(const print_scope&) = delete;
};

/// Starts a printed line: writes `num_space` spaces.
std::ostream& indent(std::ostream& os);
