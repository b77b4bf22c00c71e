// 遊び方: a window beside the board that explains the game in Japanese, with
// small pictures made from the pictures the game paints (the pieces, the
// empty square).  It does not hold the game up: the board takes clicks and
// commands while it is open.
#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace zemtori {

class PictureSet;

class RulesWindow : public QWidget {
    Q_OBJECT
public:
    // `pictures` must hold the game's pictures; `parent` is the game's
    // window, which the rules window stays beside and closes with.
    RulesWindow(const PictureSet& pictures, QWidget* parent);

    // For tests: the text shown, the headings of its sections in order, and
    // the names of the pictures the text shows (each a resource of the text).
    QTextBrowser* browser() const { return browser_; }
    const QStringList& sections() const { return sections_; }
    const QStringList& picture_names() const { return picture_names_; }

    // The name under which a picture of the cells `codes`, top to bottom, is
    // shown; one code is a single cell.
    static QString cells_name(const QList<int>& codes);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The <img> of the cells `codes` stacked top to bottom, made once.
    QString cells(const QList<int>& codes);

    const PictureSet& pictures_;
    QTextBrowser* browser_ = nullptr;
    QStringList sections_;
    QStringList picture_names_;
};

}  // namespace zemtori
