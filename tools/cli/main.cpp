// vantor-cli: finds and configures the devices from the command line.
#include "tools/cli/CliPassword.h"
#include "tools/cli/CliRunner.h"

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    vantor::cli::CliEnvironment environment{
        std::cout,
        std::cerr,
        [](const char* name) -> std::optional<std::string> {
            const char* value = std::getenv(name);
            if (value == nullptr)
                return std::nullopt;
            return std::string(value);
        },
        [](std::string* error) { return vantor::cli::PromptWithoutEcho("Device password: ", error); },
        vantor::SystemInterfaces,
        {},
        vantor::cli::DiagnosisSystem::Real(),
    };
    const int code = vantor::cli::RunCli(args, environment);
    std::cout.flush();
    return code;
}
