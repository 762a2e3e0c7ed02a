// The picture window: the current question's picture as large as the
// desktop allows, with a copy of the countdown clock in its corner. It is
// opened modally by a click on the main window's picture box and closes on
// a click; the time-out closes it too.
#pragma once

#include "session/ui/AppContext.h"

#include <QDialog>

class QLabel;

class TForm7 final : public QDialog, public PictureView
{
    Q_OBJECT

public:
    explicit TForm7(AppContext &context, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TForm7)

    void setPicturePath(const QString &path) override { m_picturePath = path; }
    QString picturePath() const { return m_picturePath; }

    // The clock copy `Panel1`.
    void setClockText(const QString &text) override;
    void setClockVisible(bool visible) override;
    void showPicture() override { exec(); }
    void closePicture() override
    {
        if (isVisible())
            reject();
    }

    QLabel *Image1 = nullptr;
    QLabel *Panel1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void FormActivate();
    void reportLoadError(const QString &text);

    AppContext &m_context;
    QString m_picturePath;
};
