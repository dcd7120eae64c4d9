#include "tools/quorvan/commands.h"

namespace quorvan::tool {

const char* const kMainHelp =
    "quorvan - the Quorvan component layer from the command line\n"
    "\n"
    "usage: quorvan [--config FILE] COMMAND [ARGS...]\n"
    "\n"
    "commands:\n"
    "  init DIR                 create an installation (configuration, embedded databases,\n"
    "                           site, log) in DIR\n"
    "  call CLASSID METHOD ...  create an object, call one member, print the result as JSON\n"
    "  script FILE|-            run a JSON call script in one request scope\n"
    "  describe CLASSID|ENUM    print a class's members in slot order, or an enumeration\n"
    "  user add|list            manage the embedded membership directory\n"
    "  db init|query            create the schema; run one statement on a database\n"
    "  run JOB                  scheduled work: send-mail-alerts, expire-alerts,\n"
    "                           delete-expired-alerts, collect-cache-garbage\n"
    "\n"
    "The configuration file comes from --config FILE or the QUORVAN_CONFIG environment\n"
    "variable (init writes DIR/quorvan.ini). Modules are loaded from the folder of this tool,\n"
    "or from QUORVAN_COMPONENT_PATH, or from [quorvan] ComponentPath of the configuration.\n"
    "\n"
    "Exit status: 0 success, 1 an error record was printed, 2 usage error.\n"
    "Run 'quorvan COMMAND --help' for the details of a command.\n";

const char* const kInitHelp =
    "usage: quorvan init DIR [--connection CONNECTION_STRING]\n"
    "\n"
    "Creates an installation in DIR: DIR/quorvan.ini (commented), the site configuration\n"
    "DIR/site/siteConfiguration.xml, the embedded user directory DIR/site/users.json, the\n"
    "folders data/, log/, mail/pickup/, attachments/ and the form cache folder, and the\n"
    "databases with their schema and label texts: by default the SQLite files\n"
    "DIR/data/hadrell.db (application tables) and DIR/data/jassoway.db (common tables); with\n"
    "--connection one database for both, e.g.\n"
    "  --connection \"Provider=PostgreSQL;Host=127.0.0.1;Port=5432;Database=quorvan;User "
    "ID=q;Password=...\"\n"
    "Refuses to overwrite an existing DIR/quorvan.ini; a database that cannot be set up leaves\n"
    "no quorvan.ini behind. Use it afterwards with --config DIR/quorvan.ini.\n";

const char* const kDbHelp =
    "usage: quorvan [--config FILE] db init\n"
    "       quorvan [--config FILE] db query [--app Hadrell|Jassoway] SQL\n"
    "\n"
    "init applies the schema to the configured databases (idempotent: only what is missing\n"
    "is created). query runs one statement through the data layer, in the same dialect as\n"
    "the components (SELECT TOP n, INSERT without INTO...), on the application database\n"
    "(Hadrell, the default) or the common one (Jassoway), and prints\n"
    "  {\"fields\": [{\"name\": ..., \"type\": ADO type}], \"rows\": [[...]], \"recordsAffected\": "
    "N}\n";

const char* const kCallHelp =
    "usage: quorvan [--config FILE] call CLASSID METHOD [ARG ...] [--named NAME=ARG ...]\n"
    "\n"
    "Creates CLASSID, invokes METHOD, releases the object and prints\n"
    "  {\"result\": VALUE, \"byref\": {\"PARAMETER\": VALUE, ...}}\n"
    "Each ARG is one JSON value: '\"text\"', 42 (Long), 2.5 (Double), '{\"$int\": 6}',\n"
    "'{\"$date\": \"2024-01-02T00:00:00\"}', '{\"$dict\": [[\"key\", 1]]}', '{\"$missing\": "
    "true}'...\n"
    "On an error it prints {\"error\": {number, hex, source, description, ...}} and exits 1.\n"
    "\n"
    "example: quorvan call QuorvanUtility.ErrorHandler GetErrorLabelCode -2147219479\n";

const char* const kScriptHelp =
    "usage: quorvan [--config FILE] script FILE|-\n"
    "\n"
    "Runs a call script (JSON, from FILE or standard input) in one request scope:\n"
    "  {\"form\": {\"fields\": [[\"NAME\", [\"value\"]]]},\n"
    "   \"steps\": [{\"set\": \"h\", \"create\": \"QuorvanUtility.ErrorHandler\"},\n"
    "             {\"set\": \"v\", \"value\": 42},\n"
    "             {\"call\": \"h\", \"method\": \"GetErrorLabelCode\", \"args\": [{\"$var\": "
    "\"v\"}],\n"
    "              \"named\": {}, \"set\": \"label\"},\n"
    "             {\"release\": \"h\"}]}\n"
    "{\"$var\": NAME} passes a variable by reference; {\"$object\": NAME} the object it holds;\n"
    "{\"$form\": true} the posted form. Prints {\"results\": [...], \"vars\": {...}} and, when a\n"
    "step fails, stops there and adds \"error\" (exit status 1).\n";

const char* const kDescribeHelp =
    "usage: quorvan [--config FILE] describe CLASSID|ENUMERATION\n"
    "\n"
    "Prints, as JSON, a class's members in slot order with their parameters (name, type,\n"
    "by reference, optional), its published identifiers and the enumerations it carries; or,\n"
    "for an enumeration name (EAlertType, QuorvanGeneral.EAllOrSpecific), its members.\n";

const char* const kUserHelp =
    "usage: quorvan [--config FILE] user add ID --given G --family F --email E\n"
    "                                       [--locale 1033] [--language 1033] [--type N ...]\n"
    "       quorvan [--config FILE] user list\n"
    "\n"
    "Manages the embedded membership directory of the installation (site/users.json).\n"
    "add creates the user or replaces the one with the same ID; --type may repeat (6 marks a\n"
    "supplier-side user). list prints the users as JSON.\n";

const char* const kRunHelp =
    "usage: quorvan [--config FILE] run JOB\n"
    "\n"
    "Runs one piece of scheduled work and prints what it changed, e.g.\n"
    "  {\"job\": \"expire-alerts\", \"expired\": 12, \"seconds\": 0.004}\n"
    "jobs:\n"
    "  send-mail-alerts        mail every due alert once (SendMailAlerts) and print\n"
    "                          {mailed, skipped, withoutReceiver, fromOriginatingAddress};\n"
    "                          skipped alerts (receiver or sender unknown) stay due. Only one\n"
    "                          run at a time: a second one exits with status 1 and says why\n"
    "  expire-alerts           expire alerts past their date or fully delivered\n"
    "                          (QuorvanGeneral.Alert ExpireAlerts)\n"
    "  delete-expired-alerts   delete expired alerts (BatchDeleteExpiredAlerts)\n"
    "  collect-cache-garbage   delete form cache files last written before yesterday\n"
    "                          (QuorvanUtility.FormCache DeleteCacheGarbage)\n"
    "The counts are taken just before and after the job. On failure it prints the error\n"
    "record and exits with status 1; run it from cron or a timer.\n";

}  // namespace quorvan::tool
