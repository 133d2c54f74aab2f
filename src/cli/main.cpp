// tessary: the command-line front end. Inspect, export, convert and render the games'
// models from a working folder laid out like the games' raw asset tree.
#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "platform/BuildInfo.h"

int main(int argc, char** argv) {
  using namespace tessary::cli;
  CLI::App app{"Tessary: reads, previews and converts Call of Duty game models "
               "(versions 14, 20 and 25).",
               "tessary"};
  app.set_version_flag("--version", std::string("tessary ") + tessary::build::kVersion);
  app.require_subcommand(1);
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");

  RegisterInfoCommand(app);
  RegisterExampleCommand(app);
  RegisterExportObjCommand(app);
  RegisterTagsCommand(app);
  RegisterConvertCommand(app);
  RegisterRetrieveCommand(app);
  RegisterPathsCommand(app);
  RegisterExportXCommand(app);
  RegisterExportGltfCommand(app);
  RegisterExportXModelCommand(app);
  RegisterInfoAnimCommand(app);
  RegisterExportXAnimCommand(app);
#ifdef TESSARY_HAVE_PREVIEW
  RegisterRenderCommand(app);
#endif

  // Listed under one heading in the help, whichever file registered them.
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
    command->group("Commands");
  }
  // Set after the commands exist, so that they do not inherit it.
  app.footer(
      "Run 'tessary <command> --help' for a command's options and an example.\n"
      "Exit status: 0 when everything asked was done, 1 when something could not be, "
      "2 for a wrong command line.\n\n"
      "Example: tessary example /tmp/work && tessary info --workdir /tmp/work example_crate");
  // A first word that names no command: said so, rather than that a command is missing.
  if (argc > 1 && argv[1][0] != '-') {
    const std::string word = argv[1];
    bool known = false;
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
      known = known || command->check_name(word);
    if (!known) {
      PrintError("unknown command \"" + word + "\" (run 'tessary --help' for the commands)");
      return kExitUsage;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    // One line, as every other message of the program.
    PrintError(std::string(e.what()) + " (run 'tessary --help' for usage)");
    return kExitUsage;
  } catch (const std::exception& e) {
    PrintError(e.what());
    return kExitFailed;
  }
  return CommandStatus();
}
