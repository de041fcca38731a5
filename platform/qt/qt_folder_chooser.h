#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "platform/folder_chooser.h"

namespace trawlbox::platform {

// The desktop's directory dialog, modal to `parent`.
class QtFolderChooser : public FolderChooser {
 public:
  // `parent` must outlive the chooser; nullptr gives a dialog without an owner.
  explicit QtFolderChooser(QWidget* parent);

  [[nodiscard]] std::optional<std::string> ChooseFolder(const std::string& title) override;

 private:
  QWidget* parent_;
};

}  // namespace trawlbox::platform
