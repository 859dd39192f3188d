// SPDX-License-Identifier: GPL-3.0-or-later
#include "usage_errors.h"
#include "text/translation.h"

#include <CLI/CLI.hpp>

namespace quillet::cli {
namespace {

const CLI::App* parsedCommand(const CLI::App& app) {
    const auto parsed =
        app.get_subcommands([](const CLI::App* command) { return command->parsed(); });
    return parsed.empty() ? nullptr : parsed.front();
}

// The options an error may be about: those of the command given first (list and
// export both have --sort), then the program's own, then those of the other commands.
std::vector<const CLI::Option*> candidateOptions(const CLI::App& app) {
    std::vector<const CLI::Option*> options;
    const CLI::App* given = parsedCommand(app);
    if (given != nullptr) {
        options = given->get_options();
    }
    const auto add = [&options](const std::vector<const CLI::Option*>& more) {
        options.insert(options.end(), more.begin(), more.end());
    };
    add(app.get_options());
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command != given) {
            add(command->get_options());
        }
    }
    return options;
}

// The option whose name the parser put into its message, followed by a blank or a colon.
const CLI::Option* optionNamedIn(const CLI::Error& error, const CLI::App& app) {
    const std::string message = error.what();
    for (const CLI::Option* option : candidateOptions(app)) {
        const std::string name = option->get_name();
        if (!name.empty() && (message.find(name + ' ') != std::string::npos ||
                              message.find(name + ':') != std::string::npos)) {
            return option;
        }
    }
    return nullptr;
}

// "-C/--dir", "--sort", "-o/--output".
std::string shownName(const CLI::Option& option) {
    std::string name;
    for (const std::string& shortName : option.get_snames()) {
        name += "-" + shortName + "/";
    }
    for (const std::string& longName : option.get_lnames()) {
        name += "--" + longName + "/";
    }
    if (name.empty()) {
        return option.get_name();
    }
    name.pop_back();
    return name;
}

std::string requiredText(const CLI::App& app) {
    const CLI::App* command = parsedCommand(app);
    if (command == nullptr) {
        return translate("a command is needed: info, list, export or delete");
    }
    const CLI::Option* view = command->get_option_no_throw("view");
    if (view != nullptr && view->count() == 0) {
        return fillIn(translate("{1} needs a view: waypoints or tracks"), {command->get_name()});
    }
    for (const CLI::Option* option : command->get_options()) {
        if (option->get_required() && option->count() == 0) {
            return fillIn(translate("{1} needs {2} {3}"),
                          {command->get_name(), shownName(*option), option->get_type_name()});
        }
    }
    return fillIn(translate("{1} is missing a part"), {command->get_name()});
}

std::string extrasText(const CLI::App& app) {
    const std::vector<std::string> extras = app.remaining(true);
    if (extras.empty()) {
        return translate("the command line holds words that are not expected");
    }
    const std::string& word = extras.front();
    if (word.starts_with('-') && word.size() > 1) {
        return fillIn(translate("unknown option \"{1}\""), {word});
    }
    return fillIn(translate("\"{1}\" is not expected here"), {word});
}

std::string validationText(const CLI::App& app) {
    const CLI::App* command = parsedCommand(app);
    const CLI::Option* view = command ? command->get_option_no_throw("view") : nullptr;
    if (view != nullptr && !view->results().empty()) {
        return fillIn(translate("\"{1}\" is not a view: the views are waypoints and tracks"),
                      {view->results().front()});
    }
    return translate("a value of the command line is not allowed");
}

}  // namespace

std::string usageErrorText(const CLI::Error& error, const CLI::App& app) {
    const CLI::Option* option = optionNamedIn(error, app);
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        return requiredText(app);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && option != nullptr) {
        return option->count() > 1
                   ? fillIn(translate("{1} may be given once"), {shownName(*option)})
                   : fillIn(translate("{1} needs a {2}"),
                            {shownName(*option), option->get_type_name()});
    }
    if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr && option != nullptr) {
        return fillIn(translate("{1} is a switch: give it without a value"), {shownName(*option)});
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
        return translate("--all and --select cannot be given together");
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        return extrasText(app);
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
        return validationText(app);
    }
    return translate("the command line is not understood");
}

}  // namespace quillet::cli
