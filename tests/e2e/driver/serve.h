// velmora-e2e.exe serve: many command lines in one process (serve.cpp).
#pragma once

#include <string>

namespace e2e {

// One command line as wmain takes it (argv[0] is the program); returns its exit status.
int run(int argc, wchar_t** argv);

// Reads requests on stdin and answers each on stdout until stdin ends.
int serve();

// While set, print_line and print_error append here instead of writing to the process's own
// handles.
struct Captured {
    std::string out;
    std::string err;
};
void capture_output(Captured* into);
void write_stdout(const std::string& bytes);

}  // namespace e2e
