#include "app/import/import_options_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/import/import_media_files.h"

namespace snapcrate {

ImportOptionsWindow::ImportOptionsWindow(ImportOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
  setObjectName("SC_ImportMediaFilesOptions");
  setWindowTitle("Import Media Files Options");
  auto make = [this](const char* name, const QString& caption, const QString& tip, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setChecked(checked);
    return box;
  };
  log_file_ = make("Check1", "Create &Logfile", "Append every imported file to snapcrate.log in the destination",
                   options_.log_file);
  add_orig_filename_ = make("Check2", "&Add orig. filename to new filename",
                            "20070506_143000_IMG_0001.jpg instead of 20070506_143000.jpg",
                            options_.add_orig_filename);
  exif_jpeg_only_ = make("Check3", "&Import only pictures with an EXIF date (JPEG, HEIF)",
                         "Skip movies, other files and pictures without an EXIF date", options_.exif_jpeg_only);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  cancel->setObjectName("CancelButton");
  connect(ok, &QPushButton::clicked, this, &ImportOptionsWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(log_file_);
  layout->addWidget(add_orig_filename_);
  layout->addWidget(exif_jpeg_only_);
  layout->addSpacing(8);
  layout->addWidget(buttons);
}

void ImportOptionsWindow::Accept() {
  options_.log_file = log_file_->isChecked();
  options_.add_orig_filename = add_orig_filename_->isChecked();
  options_.exif_jpeg_only = exif_jpeg_only_->isChecked();
  accept();
}

}  // namespace snapcrate
