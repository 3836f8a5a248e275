#include "mapping_run/program_entry.h"

#include "errors/message_texts.h"
#include "errors/raise.h"
#include "errors/raised_error.h"
#include "mapping_run/error_report.h"
#include "mapping_run/mapping_run.h"

namespace velistra {

void ProgramMain(Platform& platform) {
  std::uint32_t exit_code = 0;
  {
    MessageTexts texts(platform);
    const RaiseScope raise_scope(platform, texts);
    // The program's errors are caught only here, in the role of a top-level
    // handler: by now the guards have run and the filter has had its say.
    try {
      MappingRun(platform).Execute();
    } catch (const RaisedError& error) {
      ShowErrorReport(platform, texts, error);
      exit_code = 1;
    }
  }
  platform.ExitProcess(exit_code);
}

}  // namespace velistra
