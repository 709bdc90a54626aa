// quizmake: the quiz author's command-line tool. Texts arrive and leave as
// UTF-8 and are code page 1252 inside, as the player holds them.

#include <CLI/CLI.hpp>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/quizmake/content_commands.h"
#include "zorbel_version.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/pack_command.h"
#include "tools/quizmake/platform.h"
#include "tools/quizmake/png2bmp_command.h"
#include "tools/quizmake/quiz_commands.h"
#include "tools/quizmake/web_command.h"

namespace {

// Every command's arguments; each command declares and reads its own.
struct Arguments {
    std::string in;
    std::string out;
    bool overview = false;
    bool scorm = false;
    std::optional<int> passMark;
    std::string expected;
    std::string typed;
    std::string definition;
    std::string codes;
    std::string source;
    std::string folder;
    std::string output;
    std::string player;
    std::string program;  // how quizmake was started (argv[0])
};

struct Subcommand {
    const char* name;
    const char* help;
    void (*declare)(CLI::App& command, Arguments& arguments);
    int (*run)(const Arguments& arguments);
};

void declareInOut(CLI::App& command, Arguments& a) {
    command.add_option("IN", a.in)->required();
    command.add_option("OUT", a.out)->required();
}

// In the order `quizmake --help` lists them.
const Subcommand Subcommands[] = {
    {"encode", "Encode the bytes of IN into OUT in the content codec", declareInOut,
     [](const Arguments& a) { return runEncode(a.in, a.out); }},
    {"decode", "Decode the content stream IN into OUT", declareInOut,
     [](const Arguments& a) { return runDecode(a.in, a.out); }},
    {"grade", "Print the verdict on TYPED for the expected answer EXPECTED",
     [](CLI::App& c, Arguments& a) {
         c.add_flag("--overview", a.overview, "Grade as the overview does (short-answer rule)");
         c.add_option("EXPECTED", a.expected)->required();
         c.add_option("TYPED", a.typed)->required();
     },
     [](const Arguments& a) { return runGrade(a.overview, a.expected, a.typed); }},
    {"show", "Decode and parse a quiz definition (and its code lines) as JSON",
     [](CLI::App& c, Arguments& a) {
         c.add_option("DEFINITION", a.definition, "Encoded definition; an empty file gives the built-in defaults")
             ->required();
         c.add_option("CODES", a.codes, "Encoded code lines");
     },
     [](const Arguments& a) { return runShow(a.definition, a.codes); }},
    {"pack", "Encode a quiz source (TOML) into FOLDER with a resource script for the player",
     [](CLI::App& c, Arguments& a) {
         c.add_option("SOURCE", a.source)->required();
         c.add_option("FOLDER", a.folder)->required();
     },
     [](const Arguments& a) { return runPack(a.source, a.folder); }},
    {"png2bmp", "Write the bitmap the player makes of the PNG picture IN as the BMP file OUT", declareInOut,
     [](const Arguments& a) { return runPng2Bmp(a.in, a.out); }},
    {"build", "Write a quiz executable: the player with the quiz of SOURCE in its resources",
     [](CLI::App& c, Arguments& a) {
         c.add_option("SOURCE", a.source)->required();
         c.add_option("-o,--output", a.output, "The quiz executable to write")->required();
         c.add_option("--player", a.player, "The player to copy (default: zorbel.exe beside quizmake)");
     },
     [](const Arguments& a) { return runBuild(a.source, a.output, a.player, a.program); }},
    {"check", "Print how the player grades each answer of QUIZ and a few near misses",
     [](CLI::App& c, Arguments& a) { c.add_option("QUIZ", a.in)->required(); },
     [](const Arguments& a) { return runCheck(a.in); }},
    {"dump", "Print the quiz of a quiz executable as a quiz source, or write it and its pictures into DIR",
     [](CLI::App& c, Arguments& a) {
         c.add_option("QUIZ", a.in)->required();
         c.add_option("-o,--output", a.folder,
                      "DIR, made if missing: the source named after QUIZ (mon_quiz.toml) and the pictures (401.jpg, 402.png...)");
     },
     [](const Arguments& a) { return runDump(a.in, a.folder); }},
    {"web", "Write QUIZ (a quiz executable or a quiz source) as one web page that plays it in any browser",
     [](CLI::App& c, Arguments& a) {
         CLI::Option* scorm = c.add_flag(
             "--scorm", a.scorm, "Write a SCORM 1.2 package (a zip holding the page) for a learning platform such as Moodle");
         c.add_option("--pass", a.passMark, "With --scorm: the score (0 to 100 %) from which the attempt is passed")
             ->check(CLI::Range(0, 100))
             ->needs(scorm);
         c.add_option("QUIZ", a.in)->required();
         c.add_option("-o,--output", a.output, "The HTML file (or with --scorm the zip file) to write")->required();
     },
     [](const Arguments& a) { return runWeb(a.in, a.output, a.scorm, a.passMark); }},
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> given = utf8Arguments(argc, argv);
    std::vector<char*> words;
    for (std::string& word : given) words.push_back(word.data());
    CLI::App app{"quizmake: encodes, decodes, grades, shows and packs quiz content"};
    app.set_version_flag("--version", "quizmake " ZORBEL_VERSION_TEXT);
    app.require_subcommand(1);
    Arguments arguments;
    arguments.program = given.front();
    std::vector<const CLI::App*> commands;
    for (const Subcommand& subcommand : Subcommands) {
        CLI::App* command = app.add_subcommand(subcommand.name, subcommand.help);
        subcommand.declare(*command, arguments);
        commands.push_back(command);
    }

    try {
        app.parse(static_cast<int>(words.size()), words.data());
    } catch (const CLI::ParseError& error) {
        // Help, version and usage errors go out as everything else does.
        std::ostringstream out;
        std::ostringstream err;
        const int status = app.exit(error, out, err);
        printUtf8(Stream::Out, out.str());
        printUtf8(Stream::Err, err.str());
        return status == 0 ? 0 : ExitBadArguments;
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (commands[i]->parsed()) return Subcommands[i].run(arguments);
    }
    return ExitBadArguments;  // unreachable: CLI11 requires one subcommand
}
