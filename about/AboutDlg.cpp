#include "AboutDlg.h"

#include <memory>

#include "AboutForm.h"
#include "NativeTitle.h"

TAboutDlg::TAboutDlg(QObject* owner) : QObject(owner) {}

void TAboutDlg::Execute() {
    auto box = std::make_unique<TAboutBox>();
    box->setWindowTitle(Title);
    if (Title.isEmpty()) {
        KeepNativeTitleEmpty(*box);
    }
    box->ProductName->setText(ProductName);
    box->Copyright->setText(CopyRight);
    box->Programmer->setText(Programmer);
    box->Website->setText(WebSite);
    box->SetPicture(icon_);
    box->FitLabels();
    RunModal(*box);
}
