// The commands of zandor-cli. Each lives in its own file (command_NAME.cpp) and is described
// by one CommandSpec: its name, its help and the function that runs it. A command writes its
// result only when it has all of it, reports a refusal by throwing zandor::Refusal and any
// other failure by throwing (TableError, std::runtime_error); runCli turns these into the
// exit status.
#pragma once

#include "cli/args.h"

namespace zandor::cli {

const CommandSpec& infoCommand();
const CommandSpec& dumpCommand();
const CommandSpec& importCommand();
const CommandSpec& exportCommand();
const CommandSpec& prepareCommand();
const CommandSpec& sqlCommand();
const CommandSpec& convertCommand();
const CommandSpec& lifeTableCommand();
const CommandSpec& projectCommand();
const CommandSpec& projectBatchCommand();
const CommandSpec& projectUrCommand();
const CommandSpec& chartCommand();
const CommandSpec& qualityCommand();
const CommandSpec& unIndexCommand();
const CommandSpec& smoothCommand();
const CommandSpec& graduateCommand();
const CommandSpec& computeCommand();
const CommandSpec& targetPlanCommand();
const CommandSpec& endOfYearCommand();
const CommandSpec& standardizeCommand();

}  // namespace zandor::cli
