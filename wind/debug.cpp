#include "wind/debug.h"

#include <cstdlib>
#include <iostream>

int num_space = 0;

void debug_error(const std::string& message, int level)
{
    if (level == 0) return;
    std::cerr << "DEBUG error level " << level << ":  " << message << std::endl;
    std::exit(1);
}

void debug_warning(const std::string& message, int level)
{
    if (level == 0) return;
    std::cerr << "DEBUG warning level " << level << ":  " << message << std::endl;
}

void wind_check_failed(const char* expression, const char* file, int line)
{
    std::cerr << file << ":" << line << ": Assertion `" << expression << "' failed." << std::endl;
    std::abort();
}

print_scope::print_scope() { num_space += 4; }

print_scope::~print_scope()
{
    num_space -= 4;
    WIND_CHECK(num_space>=0);
}

std::ostream& indent(std::ostream& os)
{
    for (int i = 0; i < num_space; ++i) os << ' ';
    return os;
}
