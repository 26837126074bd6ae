// TAbout_Frm: the About box with the product name and release lines; a click on the panel
// or a press on the picture closes it.
#pragma once

#include <QDialog>

class QFrame;

namespace zandor::ui {

class TAbout_Frm : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_Frm(QWidget* parent = nullptr);

    QFrame* Panel1;
    QWidget* Shape1;

public slots:
    void Panel1Click();
    void Shape1MouseDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zandor::ui
