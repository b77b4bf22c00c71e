#include "qt/rules_window.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "port/geometry.h"
#include "qt/picture_set.h"

namespace zemtori {

namespace {

// The right-hand army's pieces (negative codes), unpromoted and promoted
// (0 where the piece does not promote), with how each moves.
struct PieceRow {
    int plain;
    int promoted;
    const char* text;
};
constexpr PieceRow PIECE_ROWS[] = {
    {-10, -11, "<b>歩</b>：前へ1マス。成ると<b>と金</b>になり、金と同じに動きます。"},
    {-20, -21, "<b>香</b>：前へまっすぐ何マスでも（駒を飛び越えません）。成ると<b>成香</b>（金の動き）。"},
    {-30, -31, "<b>桂</b>：前へ2マス、横へ1マスの所へ跳びます（間の駒は飛び越えます）。成ると<b>成桂</b>（金の動き）。"},
    {-40, -41, "<b>銀</b>：前と斜めの5方向へ1マス。成ると<b>成銀</b>（金の動き）。"},
    {-50, 0, "<b>金</b>：前・斜め前・横・後ろへ1マス。成りません。"},
    {-60, -61, "<b>角</b>：斜めに何マスでも。成ると<b>馬</b>になり、縦横にも1マス動けます。"},
    {-70, -71, "<b>飛</b>：縦横に何マスでも。成ると<b>龍</b>になり、斜めにも1マス動けます。"},
    {-80, 0, "<b>王</b>：周りの8マスへ1マス。成りません。"},
};

}  // namespace

QString RulesWindow::cells_name(const QList<int>& codes) {
    QStringList parts;
    for (int code : codes) parts << QString::number(code);
    return QStringLiteral("cells:") + parts.join(QLatin1Char('_'));
}

QString RulesWindow::cells(const QList<int>& codes) {
    const QString name = cells_name(codes);
    if (!picture_names_.contains(name)) {
        const QImage* first = pictures_.find(codes.front());
        const qreal ratio = first ? first->devicePixelRatio() : 1.0;
        const int w = qRound(PIECE_W * ratio), h = qRound(PIECE_H * ratio);
        QImage image(w, h * codes.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        for (int i = 0; i < codes.size(); ++i)
            if (const QImage* p = pictures_.find(codes[i])) {
                QImage cell = *p;
                cell.setDevicePixelRatio(1.0);
                painter.drawImage(0, i * h, cell);
            }
        painter.end();
        browser_->document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        picture_names_ << name;
    }
    return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
        .arg(name)
        .arg(PIECE_W)
        .arg(PIECE_H * codes.size());
}

RulesWindow::RulesWindow(const PictureSet& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window), pictures_(pictures) {
    setWindowTitle(QStringLiteral("遊び方"));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);

    QString html = QStringLiteral("<html><body>");
    const auto section = [&](const QString& heading) {
        sections_ << heading;
        html += QStringLiteral("<h3>■ %1</h3>").arg(heading);
    };

    section(QStringLiteral("盤と駒"));
    html += QStringLiteral(
        "<p>盤は横向きに置かれています。あなたはいつも右側の軍を、相手（コンピュータ、"
        "または二人で遊ぶときのもう一人）は左側の軍を動かします。先手・後手は"
        "どちらが先に指すかのことで、対局(COM) › 先手 ではあなたが、後手 では"
        "コンピュータが先に指します（二人で遊ぶ スタート では右側が先手です）。"
        "駒の「前」は相手の側、あなたの駒では左です。</p>"
        "<p>自分の駒（または持ち駒）をクリックし、行き先をクリックすると指せます。"
        "駒は<b>ドラッグ</b>でも動かせます。駒（または持ち駒）の上でボタンを押し、"
        "行き先で離してください。右ボタンでドラッグすると成ります。"
        "運んでいる間、落ちて止まるマスが明るく示されます。</p>");

    section(QStringLiteral("駒の動き"));
    html += QStringLiteral("<table cellspacing=\"4\">");
    for (const PieceRow& row : PIECE_ROWS) {
        html += QStringLiteral("<tr><td>") + cells({row.plain}) + QStringLiteral("</td><td>");
        if (row.promoted != 0) html += cells({row.promoted});
        html += QStringLiteral("</td><td valign=\"middle\">") + QString::fromUtf8(row.text) +
                QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("</table>");

    section(QStringLiteral("落下のルール"));
    html += QStringLiteral(
        "<p>一手指すたびに、下に空きマスのある駒はすべて下へ落ち、落ちる駒がなくなるまで"
        "続きます（敵味方とも）。動かした駒も落ちるので、止まる場所を考えて指しましょう。"
        "持ち駒も列の中で同じように下へ詰まります。</p>");
    html += QStringLiteral("<table><tr><td>") + cells({-50, 0, -10, 0, 0}) +
            QStringLiteral("</td><td valign=\"middle\">&nbsp;→&nbsp;</td><td>") + cells({0, 0, 0, -50, -10}) +
            QStringLiteral("</td></tr></table>");

    section(QStringLiteral("持ち駒を打つ"));
    html += QStringLiteral(
        "<p>取った駒は持ち駒になり、あなたの持ち駒は盤の右の列に並びます。持ち駒をクリックして"
        "空いているマスをクリックすると打てます。打った駒は成りません。"
        "歩・香を左端の列に、桂を左の2列に打つことはできません。</p>"
        "<p><b>二歩</b>：自分の歩がある横の列には、歩を打てません。見るのは打つマスの列、"
        "つまり歩が<b>落ちる前</b>の列です。打つマスの列に自分の歩があれば、打った歩が"
        "下へ落ちてほかの列へ行くとしても打てません。反対に、歩のない列に打った歩が落ちて、"
        "自分の歩のある列に入ることはかまいません。</p>");

    section(QStringLiteral("成り"));
    html += QStringLiteral("<table><tr><td>") + cells({-70}) +
            QStringLiteral("</td><td valign=\"middle\">&nbsp;→&nbsp;</td><td>") + cells({-71}) +
            QStringLiteral(
                "</td><td valign=\"middle\">相手の陣地（左の3列）に入る、そこから出る、"
                "そこで動く手は成れます。行き先を<b>右ボタン</b>でクリックすると成り、"
                "左ボタンでは成りません。歩・香が左端の列へ、桂が左の2列へ進む手は"
                "成らなければならず、右ボタンでだけ指せます。</td></tr></table>");

    section(QStringLiteral("勝ち負け"));
    html += QStringLiteral("<table><tr><td>") + cells({-80}) + QStringLiteral("</td><td>") + cells({80}) +
            QStringLiteral(
                "</td><td valign=\"middle\">相手の王を取った方の勝ちです。王手を放っておくことも"
                "できますが、王を取られれば負けです。コンピュータとの対局では、"
                "コンピュータの王に逃げ場がなくなる手を指しても、あなたの勝ちです。"
                "「よし！!」はあなたの王が詰んでいるという合図です（対局は続きます）。"
                "</td></tr></table>");

    section(QStringLiteral("レベルとヒント"));
    html += QStringLiteral(
        "<p>対局 › COM対局ﾚﾍﾞﾙ で相手の強さを選べます。LEVEL1〜LEVEL3は一手先だけを読んで"
        "すぐに指します。LEVEL4〜LEVEL9は何手も先まで読む相手で、数字が一つ上がるごとに"
        "一段強くなります。上のレベルほど、読んで最善と見た手をそのまま指すことが多く、"
        "全体として多くの局面を読みます。下のレベルは時々、最善に近い別の手を指します"
        "（王を取られる手は選びません）。LEVEL9がいちばん強い相手で、いつも最善と見た手を指します。"
        "局面 › ヒント は、あなたの手番にレベルによらず最も強い読みで指し手を考え、動かす駒と"
        "行き先を水色の枠で示します。</p>");

    section(QStringLiteral("キー"));
    html += QStringLiteral(
        "<table cellspacing=\"4\">"
        "<tr><td><b>←</b>（Left）</td><td>戻：一手戻す</td></tr>"
        "<tr><td><b>→</b>（Right）</td><td>進：一手進める</td></tr>"
        "<tr><td><b>Home</b></td><td>最初：新しい対局の用意</td></tr>"
        "<tr><td><b>Esc</b></td><td>終わり：ゲームを終える（メニューではメニューを閉じ、"
        "この窓ではこの窓を閉じます）</td></tr>"
        "</table>");

    html += QStringLiteral("</body></html>");
    browser_->setHtml(html);
    resize(520, 600);
}

// Esc closes this window only; the game goes on.
void RulesWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace zemtori
