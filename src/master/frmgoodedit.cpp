#include "master/frmgoodedit.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "data/session.h"
#include "data/widgets/checkeddateedit.h"
#include "master/codelist.h"
#include "master/frmtreecodeman.h"
#include "master/numberbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace tarvik {

namespace {

NumberBox *numberBox(QWidget *parent, const char *name, int maxDecimals, int minDecimals = 0)
{
    auto *box = new NumberBox(parent, minDecimals, maxDecimals);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit *textBox(QWidget *parent, const char *name, int maxLength = 255)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

TFrmGoodEdit::TFrmGoodEdit(Mode mode, RowSet *list, bool fromChooser, QWidget *parent)
    : QDialog(parent ? parent : mainWindow()), m_mode(mode), m_list(list), m_fromChooser(fromChooser)
{
    setObjectName(QStringLiteral("FrmGoodEdit"));
    setWindowTitle(mode == NewMode ? QStringLiteral("商品信息编辑 - 新增") : QStringLiteral("商品信息编辑 - 修改"));
    build();
    applyOptions();
    if (mode == ChangeMode) {
        cbCode->setEnabled(false);
        loadCurrentRow();
    } else if (systemOptions().AutoItemCode) {
        cbCode->setChecked(true); // fills the code box
    }
    edtCode->setFocus();
}

void TFrmGoodEdit::build()
{
    edtCode = textBox(this, "edtCode", 50);
    cbCode = new QCheckBox(QStringLiteral("自动"), this);
    cbCode->setObjectName(QStringLiteral("cbCode"));
    edtName = textBox(this, "edtName");
    edtpycode = textBox(this, "edtpycode", 50);
    cbeType = textBox(this, "cbeType");
    cbeTypeButton = new QToolButton(this);
    cbeTypeButton->setText(QStringLiteral("…"));
    cbeTypeButton->setFocusPolicy(Qt::NoFocus);
    edtSpec = textBox(this, "edtSpec");
    edtAddress = textBox(this, "edtAddress");
    cbbUnit = new QComboBox(this);
    cbbUnit->setObjectName(QStringLiteral("cbbUnit"));
    cbbUnit->setEditable(true);
    cbbUnit->installEventFilter(this);
    cbbUnit->lineEdit()->setMaxLength(50);
    rceHdepot = numberBox(this, "rceHdepot", 2);
    rceDdepot = numberBox(this, "rceDdepot", 2);
    cePrice1 = numberBox(this, "cePrice1", 2);
    cePrice2 = numberBox(this, "cePrice2", 2);
    rceAmount = numberBox(this, "rceAmount", 6);
    cePrice = numberBox(this, "cePrice", 2);
    ceTotalPrice = numberBox(this, "ceTotalPrice", 2);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    Memo1->setFixedHeight(54);
    cbFlag = new QCheckBox(QStringLiteral("停用"), this);
    cbFlag->setObjectName(QStringLiteral("cbFlag"));

    connect(cbCode, &QCheckBox::toggled, this, [this](bool on) {
        // An automatic code is not typed: the box leaves the tab order.
        edtCode->setFocusPolicy(on ? Qt::ClickFocus : Qt::StrongFocus);
        if (on)
            fillAutoCode();
    });
    connect(cbeTypeButton, &QToolButton::clicked, this, &TFrmGoodEdit::chooseType);
    connect(rceAmount, &QDoubleSpinBox::valueChanged, this, &TFrmGoodEdit::recomputeTotal);
    connect(cePrice, &QDoubleSpinBox::valueChanged, this, &TFrmGoodEdit::recomputeTotal);

    auto *grid = new QGridLayout;
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto codeRow = new QHBoxLayout;
    codeRow->addWidget(edtCode, 1);
    codeRow->addWidget(cbCode);
    auto typeRow = new QHBoxLayout;
    typeRow->setSpacing(0);
    typeRow->addWidget(cbeType, 1);
    typeRow->addWidget(cbeTypeButton);

    int r = 0;
    grid->addWidget(label(QStringLiteral("原料编码："), edtCode), r, 0);
    grid->addLayout(codeRow, r, 1);
    grid->addWidget(label(QStringLiteral("原料名称："), edtName), r, 2);
    grid->addWidget(edtName, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("条    码："), edtpycode), r, 0);
    grid->addWidget(edtpycode, r, 1);
    grid->addWidget(label(QStringLiteral("类    型："), cbeType), r, 2);
    grid->addLayout(typeRow, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("规    格："), edtSpec), r, 0);
    grid->addWidget(edtSpec, r, 1);
    grid->addWidget(label(QStringLiteral("产    地："), edtAddress), r, 2);
    grid->addWidget(edtAddress, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("单    位："), cbbUnit), r, 0);
    grid->addWidget(cbbUnit, r, 1);
    grid->addWidget(cbFlag, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("最高库存："), rceHdepot), r, 0);
    grid->addWidget(rceHdepot, r, 1);
    grid->addWidget(label(QStringLiteral("最低库存："), rceDdepot), r, 2);
    grid->addWidget(rceDdepot, r, 3);
    ++r;
    priceLabels[0] = label(QStringLiteral("参考单价A"), cePrice1);
    priceLabels[1] = label(QStringLiteral("参考单价B"), cePrice2);
    grid->addWidget(priceLabels[0], r, 0);
    grid->addWidget(cePrice1, r, 1);
    grid->addWidget(priceLabels[1], r, 2);
    grid->addWidget(cePrice2, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("期初数量："), rceAmount), r, 0);
    grid->addWidget(rceAmount, r, 1);
    priceLabels[2] = label(QStringLiteral("单    价："), cePrice);
    grid->addWidget(priceLabels[2], r, 2);
    grid->addWidget(cePrice, r, 3);
    ++r;
    priceLabels[3] = label(QStringLiteral("金    额："), ceTotalPrice);
    grid->addWidget(priceLabels[3], r, 2);
    grid->addWidget(ceTotalPrice, r, 3);
    ++r;
    grid->addWidget(label(QStringLiteral("备    注："), Memo1), r, 0, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(Memo1, r, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *custom = new QGroupBox(QStringLiteral("自定义项"), this);
    custom->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto *cgrid = new QGridLayout(custom);
    QList<QWidget *> customBoxes;
    for (int i = 0; i < 5; ++i)
        customBoxes << (edtZF[i] = textBox(custom, QStringLiteral("edtZF%1").arg(i + 1).toLatin1().constData()));
    for (int i = 0; i < 3; ++i)
        customBoxes << (rceSZ[i] = numberBox(custom, QStringLiteral("rceSZ%1").arg(i + 1).toLatin1().constData(), 6));
    for (int i = 0; i < 3; ++i) {
        dtpRQ[i] = new CheckedDateEdit(today(), false, custom);
        dtpRQ[i]->setObjectName(QStringLiteral("dtpRQ%1").arg(i + 1));
        customBoxes << dtpRQ[i];
    }
    for (int i = 0; i < 11; ++i) {
        customLabels[i] = new QLabel(custom);
        customLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        customLabels[i]->setBuddy(customBoxes[i]);
    }
    cgrid->setColumnStretch(1, 1);
    cgrid->setColumnStretch(3, 1);

    cbContinue = new QCheckBox(QStringLiteral("连续新增"), this);
    cbContinue->setChecked(true);
    cbContinue->setVisible(m_mode == NewMode && !m_fromChooser);

    navigator = new QWidget(this);
    auto *nav = new QHBoxLayout(navigator);
    nav->setContentsMargins(0, 0, 0, 0);
    const std::pair<QString, void (TFrmGoodEdit::*)()> moves[] = {
        {QStringLiteral("首项"), &TFrmGoodEdit::moveFirst}, {QStringLiteral("前项"), &TFrmGoodEdit::movePrior},
        {QStringLiteral("后项"), &TFrmGoodEdit::moveNext}, {QStringLiteral("末项"), &TFrmGoodEdit::moveLast}};
    for (const auto &[text, slot] : moves) {
        auto *b = new QToolButton(navigator);
        b->setText(text);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        nav->addWidget(b);
    }
    navigator->setVisible(m_mode == ChangeMode);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &TFrmGoodEdit::save);
    connect(btnCancel, &QPushButton::clicked, this, &TFrmGoodEdit::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cbContinue);
    bottom->addWidget(navigator);
    bottom->addStretch();
    bottom->addWidget(btnOk);
    bottom->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(custom);
    layout->addStretch();
    layout->addLayout(bottom);
    resize(620, 520);

    const QList<QWidget *> order{edtCode, edtName, edtpycode, cbeType, edtSpec, edtAddress, cbbUnit, cbFlag,
                                 rceHdepot, rceDdepot, cePrice1, cePrice2, rceAmount, cePrice, ceTotalPrice, Memo1};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFrmGoodEdit::applyOptions()
{
    const SystemOptions &o = systemOptions();
    for (int i = 0; i < 11; ++i) {
        QWidget *box = customLabels[i]->buddy();
        const bool visible = o.CustomVisible[size_t(i)];
        customLabels[i]->setText(o.CustomCaptions[size_t(i)] + QStringLiteral("："));
        customLabels[i]->setVisible(visible);
        box->setVisible(visible);
    }
    const bool prices = loginContext().seesPrices();
    for (QWidget *w : {static_cast<QWidget *>(cePrice1), static_cast<QWidget *>(cePrice2),
                       static_cast<QWidget *>(cePrice), static_cast<QWidget *>(ceTotalPrice)})
        w->setVisible(prices);
    for (QLabel *l : priceLabels)
        l->setVisible(prices);
    // Money boxes show two places at least (",0.00##"), quantities none (",0.##").
    for (QDoubleSpinBox *b : {cePrice1, cePrice2, cePrice})
        static_cast<NumberBox *>(b)->setPlaces(std::min(2, o.PriceDecimals), o.PriceDecimals);
    static_cast<NumberBox *>(ceTotalPrice)->setPlaces(std::min(2, o.TotalDecimals), o.TotalDecimals);
    for (QDoubleSpinBox *b : {rceHdepot, rceDdepot})
        static_cast<NumberBox *>(b)->setPlaces(0, o.AmountDecimals);

    // Only the custom fields in use take a place, in their order.
    auto *cgrid = static_cast<QGridLayout *>(customLabels[0]->parentWidget()->layout());
    int shown = 0;
    for (int i = 0; i < 11; ++i) {
        QWidget *box = customLabels[i]->buddy();
        cgrid->removeWidget(customLabels[i]);
        cgrid->removeWidget(box);
        if (!o.CustomVisible[size_t(i)])
            continue;
        cgrid->addWidget(customLabels[i], shown / 2, (shown % 2) * 2);
        cgrid->addWidget(box, shown / 2, (shown % 2) * 2 + 1);
        ++shown;
    }
    customLabels[0]->parentWidget()->setVisible(shown > 0);
}

void TFrmGoodEdit::recomputeTotal()
{
    ceTotalPrice->setValue(cePrice->value() * rceAmount->value());
}

GoodsRecord TFrmGoodEdit::record() const
{
    GoodsRecord g;
    g.id = m_id;
    g.code = edtCode->text();
    g.name = edtName->text();
    g.pycode = edtpycode->text();
    g.type = cbeType->text();
    g.spec = edtSpec->text();
    g.address = edtAddress->text();
    g.unit = cbbUnit->currentText();
    g.hdepot = rceHdepot->value();
    g.ddepot = rceDdepot->value();
    g.price1 = cePrice1->value();
    g.price2 = cePrice2->value();
    g.amount = rceAmount->value();
    g.price = cePrice->value();
    g.totalPrice = ceTotalPrice->value();
    g.memo = Memo1->toPlainText();
    g.stopped = cbFlag->isChecked();
    for (int i = 0; i < 5; ++i)
        g.zf[size_t(i)] = edtZF[size_t(i)]->text();
    for (int i = 0; i < 3; ++i)
        g.sz[size_t(i)] = rceSZ[size_t(i)]->value();
    for (int i = 0; i < 3; ++i)
        g.rq[size_t(i)] = dtpRQ[size_t(i)]->checkedDate();
    return g;
}

void TFrmGoodEdit::loadRecord(const GoodsRecord &g)
{
    m_id = g.id;
    edtCode->setText(g.code);
    edtName->setText(g.name);
    edtpycode->setText(g.pycode);
    cbeType->setText(g.type);
    edtSpec->setText(g.spec);
    edtAddress->setText(g.address);
    cbbUnit->setEditText(g.unit);
    rceHdepot->setValue(g.hdepot);
    rceDdepot->setValue(g.ddepot);
    cePrice1->setValue(g.price1);
    cePrice2->setValue(g.price2);
    // The stored value is shown as stored, not recomputed from price and quantity.
    {
        const QSignalBlocker a(rceAmount), p(cePrice);
        rceAmount->setValue(g.amount);
        cePrice->setValue(g.price);
    }
    ceTotalPrice->setValue(g.totalPrice);
    Memo1->setPlainText(g.memo);
    cbFlag->setChecked(g.stopped);
    for (int i = 0; i < 5; ++i)
        edtZF[size_t(i)]->setText(g.zf[size_t(i)]);
    for (int i = 0; i < 3; ++i)
        rceSZ[size_t(i)]->setValue(g.sz[size_t(i)]);
    for (int i = 0; i < 3; ++i) {
        const QDate d = g.rq[size_t(i)];
        dtpRQ[size_t(i)]->setStoredDate(d.isValid() ? QVariant(d) : QVariant());
    }
    m_oldCode = g.code.trimmed();
}

void TFrmGoodEdit::loadCurrentRow()
{
    if (!m_list || m_list->current() < 0)
        return;
    loadRecord(GoodsRecord::fromRow(*m_list, m_list->current()));
}

void TFrmGoodEdit::clearFields()
{
    GoodsRecord empty;
    empty.code = edtCode->text();
    empty.id = m_id;
    loadRecord(empty);
    for (CheckedDateEdit *d : dtpRQ)
        d->setDate(today());
}

void TFrmGoodEdit::fillAutoCode()
{
    auto code = GoodsStore(dmData->db()).nextCode();
    if (!code) {
        ShowMsg(kMsgOpFailed, MsgError, code.error().detail);
        return;
    }
    edtCode->setText(*code);
}

void TFrmGoodEdit::chooseType()
{
    cbeType->setText(TFrmTreeCodeMan::choose(false, cbeType->text()));
}

bool TFrmGoodEdit::save()
{
    GoodsStore store(dmData->db());
    const GoodsRecord g = record();
    const bool autoCode = m_mode == NewMode && cbCode->isChecked();
    auto check = store.checkCode(g, m_mode == NewMode, autoCode);
    if (!check) {
        ShowMsg(kMsgSaveFailed, MsgError, check.error().detail);
        return false;
    }
    auto refuse = [this](const QString &message) {
        ShowMsg(message, MsgInfo);
        if (message != kMsgGoodsAutoCodeDigits)
            edtCode->setFocus();
        return false;
    };
    if (!check->isEmpty())
        return refuse(*check);

    Result<void> saved;
    if (m_mode == NewMode) {
        auto id = store.saveNew(g, autoCode);
        if (!id)
            saved = id.error();
    } else {
        saved = store.saveChange(g, m_oldCode);
    }
    if (!saved) {
        // The checks ran again inside the transaction (another workstation may have saved meanwhile).
        if (saved.error().detail.isEmpty())
            return refuse(saved.message());
        ShowMsg(saved.message(), MsgError, saved.error().detail);
        return false;
    }
    const QString code = g.code.trimmed();
    if (refresh)
        refresh(code);
    if (m_fromChooser || m_mode == ChangeMode) {
        accept();
    } else if (cbContinue->isChecked()) {
        clearFields();
        edtCode->setFocus();
    } else {
        accept();
    }
    return true;
}

void TFrmGoodEdit::moveTo(int row)
{
    if (!m_list || m_list->isEmpty())
        return;
    m_list->setCurrent(std::clamp(row, 0, m_list->count() - 1));
    loadCurrentRow();
}

void TFrmGoodEdit::moveFirst() { moveTo(0); }
void TFrmGoodEdit::movePrior() { moveTo(m_list ? m_list->current() - 1 : 0); }
void TFrmGoodEdit::moveNext() { moveTo(m_list ? m_list->current() + 1 : 0); }
void TFrmGoodEdit::moveLast() { moveTo(m_list ? m_list->count() - 1 : 0); }

void TFrmGoodEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_S && event->modifiers() == Qt::ControlModifier) {
        save();
        return;
    }
    if (key == Qt::Key_Escape) {
        reject();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        focusNextChild(); // the memo keeps Enter for its lines
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFrmGoodEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cbbUnit && event->type() == QEvent::FocusIn)
        FillCodeListItems(cbbUnit, kCodeUnit);
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvik
