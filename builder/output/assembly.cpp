#include "builder/output/assembly.h"

namespace prismora::output {
using platform::BoxIcon;

trailer::BuilderRecord RecordFor(const project::ProjectSettings& s, bool preview, const text::LeadBytes& lead) {
  trailer::BuilderRecordFields f;
  f.lead = lead;
  f.title = s.Title;
  f.author = s.Author;
  f.email = s.Email;
  f.website = s.Website;
  f.photoCount = int(s.Photos.size());
  f.dialogColor = s.DialogBoxColor;
  f.previewFlag = preview;
  f.photoChangeSeconds = s.PhotoChangeSeconds;
  return trailer::makeBuilderRecord(f);
}

std::string MissingTemplateMessage(const std::string& templatePath) {
  return "File " + templatePath + "\nNot Found. Please reinstall application.";
}
std::string TargetBusyMessage(const std::string& target) {
  return "Could not open " + target + "\n(program still running?).";
}
std::string AppendFailedMessage(const std::string& target) {
  return "Could not write the screen saver settings into " + target +
         "\n(disk full or write-protected?).";
}

std::string CopyFailedMessage(const std::string& target, const platform::CopyOutcome& copy) {
  std::string why = copy.reason;
  if (why.empty())
    why = copy.failure == platform::CopyFailure::InUse
              ? "The file is in use by another program."
              : "The file is write-protected, or the disk is full.";
  if (copy.failure == platform::CopyFailure::InUse)
    why += "\n(still in use after " + std::to_string(kPreviewInUseWaitMs / 1000) + " seconds)";
  return "Could not write " + target + "\n" + why;
}

namespace {
bool AppendRecord(AssemblySeams& s, const trailer::BuilderRecord& record, const std::string& target) {
  if (s.files.AppendToFile(target, record)) return true;
  // A template copy without its record would start as a broken screen saver.
  s.files.RemoveFile(target);
  s.boxes.Show(s.owner, AppendFailedMessage(target), "Error", BoxIcon::Error);
  return false;
}
}  // namespace

bool AssemblePreviewScreenSaver(AssemblySeams s, const std::string& templatePath,
                                const trailer::BuilderRecord& record, const std::string& target) {
  // An earlier preview usually still runs from the target for a moment; wait for it to
  // end while the builder keeps answering, but only while the target is in use and only
  // for a bounded time: a read-only target or a full disk never mends by waiting, and an
  // endless wait would also hold off closing the builder.
  int waited = 0;
  for (;;) {
    const platform::CopyOutcome copy = s.files.CopyReplacingWhy(templatePath, target);
    if (copy.ok()) break;
    if (!s.files.CanOpenForRead(templatePath)) {
      s.boxes.Show(s.owner, MissingTemplateMessage(templatePath), "Error", BoxIcon::Error);
      return false;
    }
    if (copy.failure != platform::CopyFailure::InUse || waited >= kPreviewInUseWaitMs) {
      s.boxes.Show(s.owner, CopyFailedMessage(target, copy), "Error", BoxIcon::Error);
      return false;
    }
    s.pump.RunPending();
    s.pump.Pause(kPreviewRetryPauseMs);
    waited += kPreviewRetryPauseMs;
  }
  return AppendRecord(s, record, target);
}

bool AssembleBuildScreenSaver(AssemblySeams s, const std::string& templatePath,
                              const trailer::BuilderRecord& record, const std::string& target) {
  if (s.files.CopyReplacing(templatePath, target)) return AppendRecord(s, record, target);
  if (!s.files.CanOpenForRead(templatePath))
    s.boxes.Show(s.owner, MissingTemplateMessage(templatePath), "Error", BoxIcon::Error);
  else
    s.boxes.Show(s.owner, TargetBusyMessage(target), "Error", BoxIcon::Error);
  return false;
}

}  // namespace prismora::output
