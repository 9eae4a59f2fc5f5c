#include "params/TransferControls.h"

#include "controls/CommandButton.h"
#include "core/AppState.h"
#include "core/Shell.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

namespace params {

TransferControls::TransferControls(core::AppState& state, QWidget* parent)
    : QWidget(parent), state(state) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    buttonSend =
        core::MakeCommandButton(this, QStringLiteral("ButtonSend"), tr("SEND"), Qt::Key_F9);
    buttonGet = core::MakeCommandButton(this, QStringLiteral("ButtonGet"), tr("GET"), Qt::Key_F10);
    row->addWidget(buttonSend);
    row->addWidget(buttonGet);

    auto* memBox = new QGroupBox(this);
    memBox->setObjectName(QStringLiteral("SelectMem"));
    auto* memRow = new QHBoxLayout(memBox);
    memRow->setContentsMargins(6, 2, 6, 2);
    memGroup = new QButtonGroup(this);
    const char* memLabels[3] = {"RAM", "EEPROM", "FILE"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(memLabels[i]), memBox);
        radio->setObjectName(QStringLiteral("SelectMem"));
        selectMem[std::size_t(i)] = radio;
        memGroup->addButton(radio, core::kRam + i);
        memRow->addWidget(radio);
    }
    selectMem[0]->setChecked(true);
    row->addWidget(memBox);

    auto* setBox = new QGroupBox(this);
    setBox->setObjectName(QStringLiteral("SelectParaSet"));
    auto* setRow = new QHBoxLayout(setBox);
    setRow->setContentsMargins(6, 2, 6, 2);
    paraSetGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("ParaSet%1").arg(i), setBox);
        radio->setObjectName(QStringLiteral("SelectParaSet"));
        selectParaSet[std::size_t(i)] = radio;
        paraSetGroup->addButton(radio, i);
        setRow->addWidget(radio);
    }
    selectParaSet[0]->setChecked(true);
    // TRIGGER starts at CONT, so there is no second parameter set to choose yet.
    SetParaSetButtonsEnabled(false);
    row->addWidget(setBox);

    connect(buttonSend, &QPushButton::clicked, this, &TransferControls::CBF_ButtonSend);
    connect(buttonGet, &QPushButton::clicked, this, &TransferControls::CBF_ButtonGet);
    connect(memGroup, &QButtonGroup::idClicked, this, &TransferControls::CBF_SelectMem);
    connect(paraSetGroup, &QButtonGroup::idClicked, this, &TransferControls::CBF_SelectParaSet);
}

void TransferControls::SelectParaSet(std::uint16_t paraSet) {
    state.params.paraSet = paraSet == 1 ? 1 : 0;
    selectParaSet[state.params.paraSet]->setChecked(true);
}

void TransferControls::ShowUnsent(bool unsent) {
    if (buttonSend->property("unsent").toBool() == unsent) return;
    buttonSend->setProperty("unsent", unsent);
    // Bold on amber: seen from the side of the eye, and still readable when dimmed.
    buttonSend->setStyleSheet(unsent ? QStringLiteral("QPushButton { font-weight: bold; "
                                                      "background-color: #ffd36b; }")
                                     : QString());
    buttonSend->setToolTip(unsent ? tr("The panel holds changes not sent to the sensor yet.")
                                  : QString());
}

void TransferControls::SetParaSetButtonsEnabled(bool enabled) {
    for (auto* radio : selectParaSet)
        radio->setEnabled(enabled);
}

void TransferControls::RegisterCommandControls(core::Registrar& registrar) {
    registrar.AddCommandControl(buttonSend, core::CommandKind::Transfer);
    registrar.AddCommandControl(buttonGet, core::CommandKind::Transfer);
    for (auto* radio : selectMem)
        registrar.AddCommandControl(radio, core::CommandKind::Transfer);
}

void TransferControls::CBF_ButtonSend() {
    emit SendRequested();
}

void TransferControls::CBF_ButtonGet() {
    emit GetRequested();
}

void TransferControls::CBF_SelectMem(int memoryTarget) {
    state.params.memoryTarget = static_cast<std::uint16_t>(memoryTarget);
}

void TransferControls::CBF_SelectParaSet(int paraSet) {
    state.params.paraSet = static_cast<std::uint16_t>(paraSet);
}

} // namespace params
