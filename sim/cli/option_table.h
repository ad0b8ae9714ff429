/*
** option_table.h: every option of tolvarin-sim as one row: its name,
** where its value goes, its range and default, and its help line.  The
** command-line parser, the range checks and --help are all made from the
** table, so a new option is one row (and its field in SimOptions).
*/
#ifndef TOLVARIN_SIM_CLI_OPTION_TABLE_H
#define TOLVARIN_SIM_CLI_OPTION_TABLE_H

#include <string>

#include "sim/circuit/status.h"
#include "sim/cli/sim_options.h"

/* What an option's value is, and so which field of its row it goes to. */
enum OptionKind {
  kOptFlag,   /* no value: sets Flag */
  kOptInput,  /* one of the six design inputs: a decimal number into the request */
  kOptNumber, /* a decimal number within the row's range into Number */
  kOptWhole,  /* a whole number within the row's range into Whole */
  kOptText,   /* read by Read, which checks it and stores what it means */
};

struct OptionRow {
  const char* Group = nullptr; /* a heading of the help that starts here, or null */
  const char* Name = nullptr;  /* "--cap-tol" */
  const char* Value = nullptr; /* what the help calls the value: "PCT"; null for a flag */
  OptionKind Kind = kOptFlag;
  const char* Help = nullptr; /* what it does; the range and the default follow it */
  bool SimOptions::*Flag = nullptr;
  bool DesignRequest::*DesignFlag = nullptr; /* a flag of the design, instead of Flag */
  int Input = -1;                            /* DesignInput */
  double SimOptions::*Number = nullptr;
  int SimOptions::*Whole = nullptr;
  Status (*Read)(const std::string& text, SimOptions& o) = nullptr;
  double Low = 0.0, High = 0.0;       /* kOptNumber, kOptWhole */
  bool LowOpen = false;               /* the low end itself is refused */
  const char* Default = nullptr;      /* the value without the option, as typed; null: none */
  const char* DefaultNote = nullptr;  /* what the help says of its absence instead */
  std::string (*Choices)() = nullptr; /* kOptText: the names it takes, for the help */
  const char* Needs = nullptr;        /* a flag without which it means nothing */
};

/* The rows, in the order --help lists them. */
extern const OptionRow kOptionRows[];
extern const int kOptionRowCount;

/* The row named `name` ("--freq"), or null. */
const OptionRow* FindOption(const std::string& name);

/* The value text of row r read into o: checked against its range, one
   line naming the option when it is refused. */
Status ReadOption(const OptionRow& r, const std::string& text, SimOptions& o);

/* Every row's default in o, and the fields no option sets. */
void DefaultOptions(SimOptions& o);

/* The option lines of --help, every line within 80 columns. */
std::string OptionsHelp();

#endif
