// The command line, parsed against a table of the check's options: each row
// names an option, its value and its help, and applies it. --simulate and
// --explain take everything after them, as their own parsers expect.
#include "check/options.h"

#include <algorithm>

#include "check/print/finding_codes.h"

namespace {

struct OptionRule {
  const char* name;
  const char* value;  // the value's name in --help; null for a switch
  const char* help;
  bool (*apply)(const std::string& value, CheckOptions& options, std::string& error);
};

bool SetFormat(const std::string& value, CheckOptions& options, std::string& error) {
  if (value == "text") {
    options.format = ReportFormat::Text;
  } else if (value == "json") {
    options.format = ReportFormat::Json;
  } else if (value == "sarif") {
    options.format = ReportFormat::Sarif;
  } else {
    error = "--format takes text, json or sarif, not \"" + value + "\"";
    return false;
  }
  return true;
}

bool Disable(const std::string& value, CheckOptions& options, std::string& error) {
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    const std::string code = value.substr(start, end - start);
    start = end + 1;
    if (FindFindingCode(code) == nullptr) {
      error = "--disable: no finding has the code \"" + code + "\" (see --help)";
      return false;
    }
    options.disabled.insert(code);
  }
  return true;
}

bool SetFailOn(const std::string& value, CheckOptions& options, std::string& error) {
  if (value == "error") {
    options.failOn = Severity::Error;
  } else if (value == "warning") {
    options.failOn = Severity::Warning;
  } else {
    error = "--fail-on takes error or warning, not \"" + value + "\" (notes never fail)";
    return false;
  }
  return true;
}

bool SignLater(const std::string&, CheckOptions& options, std::string&) {
  options.judge.signatureFindingsAsNotes = true;
  return true;
}

bool AskHelp(const std::string&, CheckOptions& options, std::string&) {
  options.command = Command::Help;
  return true;
}

const OptionRule kOptions[] = {
    {"--format", "text|json|sarif",
     "the report: text lines and a summary (default),\none JSON document, or a SARIF 2.1.0 log "
     "for code\nscanning",
     SetFormat},
    {"--disable", "CODE[,CODE...]", "leave out the findings of these codes (repeatable)", Disable},
    {"--fail-on", "error|warning",
     "the least severity that makes the exit status 1\n(default: warning)", SetFailOn},
    {"--sign-later", nullptr,
     "the programs are signed later in the pipeline:\nthe findings about their signatures are "
     "notes,\nso that everything else is checked first",
     SignLater},
    {"--help", nullptr, "this text", AskHelp},
};

const OptionRule* FindOption(const std::string& name) {
  for (const OptionRule& rule : kOptions) {
    if (name == rule.name) return &rule;
  }
  return nullptr;
}

}  // namespace

bool ParseCheckOptions(int argc, const char* const* argv, CheckOptions& options,
                       std::string& error) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--simulate" || first == "--explain") {
    options.command = first == "--simulate" ? Command::Simulate : Command::Explain;
    options.rest.assign(argv + 2, argv + argc);
    return true;
  }
  if (first == "--version") {
    options.command = Command::Version;
    return true;
  }
  if (first == "-h") {
    options.command = Command::Help;
    return true;
  }
  bool onlyMedia = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (onlyMedia || argument.empty() || argument[0] != '-' || argument == "-") {
      options.media.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyMedia = true;
      continue;
    }
    // --name=value or --name value.
    const std::size_t equals = argument.find('=');
    const OptionRule* rule = FindOption(argument.substr(0, equals));
    if (rule == nullptr) {
      error = "unknown option " + argument.substr(0, equals) +
              (argument == "--simulate" || argument == "--explain" ? " here: it comes first"
                                                                   : " (see --help)");
      return false;
    }
    std::string value;
    if (rule->value != nullptr) {
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        error = argument + " needs a value: " + rule->value;
        return false;
      }
    } else if (equals != std::string::npos) {
      error = std::string(rule->name) + " takes no value";
      return false;
    }
    if (!rule->apply(value, options, error)) return false;
  }
  if (options.command == Command::Check && options.media.empty()) {
    error = "give one or more medium folders or disc images";
    return false;
  }
  return true;
}

std::string CheckOptionsHelp() {
  std::string help = "Options of the check:\n";
  for (const OptionRule& rule : kOptions) {
    std::string head =
        "  " + std::string(rule.name) + (rule.value ? " " + std::string(rule.value) : "");
    head.resize(std::max<std::size_t>(head.size() + 2, 30), ' ');
    std::string text = rule.help;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      text.insert(at + 1, 30, ' ');
    }
    help += head + text + "\n";
  }
  return help;
}
