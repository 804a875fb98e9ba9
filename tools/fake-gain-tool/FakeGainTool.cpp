// A stand-in for the gain tool in tests: replays a script of byte chunks on
// its standard output and standard error, exactly as written, so tests can
// produce output the real tool cannot be made to print.
//
//   fake-gain-tool [any arguments...] SCRIPT
//
// The script is the last argument (the tool's last file argument), or the file
// of that name with ".fake" added when it exists, so that the file argument
// itself can be audio. One directive per line:
//   out TEXT    write TEXT to standard output
//   err TEXT    write TEXT to standard error
//   args        write every argument, argv[0] included, as "[arg]\n" to standard output
//   sleep MS    wait MS milliseconds
//   exit CODE   end with CODE
//   when OPS    the directives up to the next "when" apply only to runs of these
//               operations (a comma list of analyze, check, apply, undo, delete,
//               any), told by the switches after "/o /t"
//   log         append the arguments after the program name, joined by blanks,
//               as one line to the file SCRIPT.log
//   pid         append this process's id as one line to the file SCRIPT.pid
// TEXT is taken as it is except for the escapes \\ \r \n \t and \xHH.
#include "RawOutput.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 'r') {
            bytes += '\r';
        } else if (code == 'n') {
            bytes += '\n';
        } else if (code == 't') {
            bytes += '\t';
        } else if (code == 'x' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += code;
        }
    }
    return bytes;
}

// The operation of this run, from the switches that follow "/o /t".
std::string operationOf(int argc, char** argv) {
    const std::string first = argc > 3 ? argv[3] : "";
    const std::string second = argc > 4 ? argv[4] : "";
    if (first == "/s") {
        return second == "d" ? "delete" : "check";
    }
    if (first == "/c") {
        return "apply";
    }
    if (first == "/u") {
        return "undo";
    }
    return "analyze";
}

bool appliesTo(const std::string& operations, const std::string& operation) {
    const std::string list = "," + operations + ",";
    return list.find(",any,") != std::string::npos ||
           list.find("," + operation + ",") != std::string::npos;
}

void appendToLog(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        line += i > 1 ? " " : "";
        line += argv[i];
    }
    std::ofstream log(std::string(argv[argc - 1]) + ".log", std::ios::binary | std::ios::app);
    log << line << '\n';
}

void appendProcessId(int argc, char** argv) {
    std::ofstream ids(std::string(argv[argc - 1]) + ".pid", std::ios::binary | std::ios::app);
    ids << currentProcessId() << '\n';
}

bool runDirective(const std::string& line, int argc, char** argv) {
    static bool active = true;
    const std::size_t blank = line.find(' ');
    const std::string name = line.substr(0, blank);
    const std::string operand = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    if (name == "when") {
        active = appliesTo(operand, operationOf(argc, argv));
        return true;
    }
    if (!active) {
        return true;
    }
    if (name == "log") {
        appendToLog(argc, argv);
    } else if (name == "pid") {
        appendProcessId(argc, argv);
    } else if (name == "out") {
        writeStandardOutput(unescape(operand));
    } else if (name == "err") {
        writeStandardError(unescape(operand));
    } else if (name == "args") {
        for (int i = 0; i < argc; ++i) {
            std::string echo = "[";
            echo += argv[i];
            echo += "]\n";
            writeStandardOutput(echo);
        }
    } else if (name == "sleep") {
        sleepMilliseconds(std::atoi(operand.c_str()));
    } else if (name == "exit") {
        std::exit(std::atoi(operand.c_str()));
    } else if (!name.empty()) {
        std::fprintf(stderr, "fake-gain-tool: unknown directive %s\n", name.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fake-gain-tool [arguments...] SCRIPT\n");
        return 2;
    }
    std::ifstream script(std::string(argv[argc - 1]) + ".fake", std::ios::binary);
    if (!script) {
        script.open(argv[argc - 1], std::ios::binary);
    }
    if (!script) {
        std::fprintf(stderr, "fake-gain-tool: cannot read %s\n", argv[argc - 1]);
        return 2;
    }
    std::string line;
    while (std::getline(script, line)) {
        if (!runDirective(line, argc, argv)) {
            return 2;
        }
    }
    return 0;
}
