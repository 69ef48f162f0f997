#include "ports/xdg/program_name.hpp"

#include <fstream>

namespace corvane::xdg {

std::string programName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace corvane::xdg
