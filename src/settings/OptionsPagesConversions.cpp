// TfrmOptions: the Conversions page with its preview, and the Firewall page.
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "NameConversion.h"
#include "OptionsDialog.h"
#include "OptionsWidgets.h"

namespace ferrowin {

namespace {

constexpr const char* SampleName = "Read the Instructions.txt";
constexpr const char* SampleShortName = "READTH~1.TXT";

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QWidget* TfrmOptions::NewConversionsPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  rgConversionCase = new TRadioGroup(page);
  rgConversionCase->setTitle(" Convert Case To ");
  rgConversionCase->SetItems({"&Don't Convert", "&Lower Case", "&Upper Case"});
  cbConversionUseShortName = new QCheckBox("Use Short File Name (DOS 8.3) ", page);
  rgConversionSpaces = new TRadioGroup(page);
  rgConversionSpaces->setTitle(" Spaces ");
  rgConversionSpaces->SetItems({"Lea&ve", "&Remove", "Re&place with:"});
  editConversionChar = new QLineEdit(rgConversionSpaces);
  editConversionChar->setMaxLength(1);
  editConversionChar->setAlignment(Qt::AlignCenter);
  editConversionChar->setFixedWidth(editConversionChar->fontMetrics().horizontalAdvance("MMM") + 16);
  static_cast<QGridLayout*>(rgConversionSpaces->layout())->addWidget(editConversionChar, 2, 1, Qt::AlignLeft);
  static_cast<QGridLayout*>(rgConversionSpaces->layout())->setColumnStretch(2, 1);

  auto* preview = new QGroupBox(page);
  auto* form = new QFormLayout(preview);
  editOriginal = new QLineEdit(preview);
  editConverted = new QLineEdit(preview);
  for (QLineEdit* e : {editOriginal, editConverted}) e->setReadOnly(true);
  form->addRow("Original:", editOriginal);
  form->addRow("Converted:", editConverted);

  grid->addWidget(rgConversionCase, 0, 0);
  grid->addWidget(rgConversionSpaces, 0, 1);
  grid->addWidget(cbConversionUseShortName, 1, 0, 1, 2);
  grid->addWidget(preview, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);

  connect(&rgConversionCase->Buttons(), &QButtonGroup::idToggled, this, [this] { UpdatePreview(); });
  connect(&rgConversionSpaces->Buttons(), &QButtonGroup::idToggled, this, [this] { UpdatePreview(); });
  connect(cbConversionUseShortName, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
  connect(editConversionChar, &QLineEdit::textChanged, this, [this] { UpdatePreview(); });
  return page;
}

QWidget* TfrmOptions::NewFirewallPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  cbFirewallEnabled = new QCheckBox("Activate Firewalls", page);
  pnlFirewall = new QWidget(page);
  auto* grid = new QGridLayout(pnlFirewall);
  grid->setContentsMargins(0, 0, 0, 0);
  rgFirewallType = new TRadioGroup(pnlFirewall);
  rgFirewallType->setTitle(" Type ");
  rgFirewallType->SetItems({"&Site", "&Proxy", "User with &login", "User without l&ogin"});

  auto* server = new QGroupBox(" Server ", pnlFirewall);
  auto* serverForm = new QFormLayout(server);
  editFirewallHost = new QLineEdit(server);
  editFirewallPort = NewSpinEdit(server, 0, 65535);
  serverForm->addRow("Host:", editFirewallHost);
  serverForm->addRow("Port:", editFirewallPort);

  auto* user = new QGroupBox(" User ", pnlFirewall);
  auto* userForm = new QFormLayout(user);
  editFirewallUser = new QLineEdit(user);
  editFirewallPassword = new QLineEdit(user);
  editFirewallPassword->setEchoMode(QLineEdit::Password);
  userForm->addRow("User ID:", editFirewallUser);
  userForm->addRow("Password:", editFirewallPassword);

  grid->addWidget(rgFirewallType, 0, 0, 2, 1);
  grid->addWidget(server, 0, 1);
  grid->addWidget(user, 1, 1);
  grid->setColumnStretch(1, 1);
  layout->addWidget(cbFirewallEnabled);
  layout->addWidget(pnlFirewall);
  layout->addStretch();
  connect(cbFirewallEnabled, &QCheckBox::toggled, this, [this] { cbFirewallEnabledClick(); });
  return page;
}

void TfrmOptions::LoadConversionsAndFirewall() {
  rgConversionCase->SetItemIndex(FPrefs.ConversionCase);
  cbConversionUseShortName->setChecked(FPrefs.ConversionUseShortName);
  rgConversionSpaces->SetItemIndex(FPrefs.ConversionSpaces);
  editConversionChar->setText(ToQ(FPrefs.ConversionChar));
  UpdatePreview();

  cbFirewallEnabled->setChecked(FPrefs.FirewallEnabled);
  rgFirewallType->SetItemIndex(FPrefs.FirewallType);
  editFirewallHost->setText(ToQ(FPrefs.FirewallHost));
  SetSpinValue(editFirewallPort, FPrefs.FirewallPort);
  editFirewallUser->setText(ToQ(FPrefs.FirewallUser));
  editFirewallPassword->setText(ToQ(FPrefs.FirewallPassword));
  cbFirewallEnabledClick();
}

void TfrmOptions::SaveConversionsAndFirewall() {
  FPrefs.ConversionCase = RadioValue(rgConversionCase, FPrefs.ConversionCase);
  FPrefs.ConversionUseShortName = cbConversionUseShortName->isChecked();
  FPrefs.ConversionSpaces = RadioValue(rgConversionSpaces, FPrefs.ConversionSpaces);
  FPrefs.ConversionChar = editConversionChar->text().toStdString();

  FPrefs.FirewallEnabled = cbFirewallEnabled->isChecked();
  FPrefs.FirewallType = RadioValue(rgFirewallType, FPrefs.FirewallType);
  FPrefs.FirewallHost = editFirewallHost->text().toStdString();
  FPrefs.FirewallPort = SpinValue(editFirewallPort, DefaultFirewallPort);
  FPrefs.FirewallUser = editFirewallUser->text().toStdString();
  FPrefs.FirewallPassword = editFirewallPassword->text().toStdString();
}

// Shows what the sample name becomes with the page's current choices.
void TfrmOptions::UpdatePreview() {
  const bool shortName = cbConversionUseShortName->isChecked();
  const bool replacing = rgConversionSpaces->ItemIndex() == static_cast<int>(TConversionSpaces::Replace);
  rgConversionSpaces->setTitle(shortName ? " Tildes (~) " : " Spaces ");
  editConversionChar->setEnabled(replacing);
  const QString original = shortName ? SampleShortName : SampleName;
  editOriginal->setText(original);
  // Nothing to replace with yet: keep the last preview until a character is typed.
  if (replacing && editConversionChar->text().isEmpty()) return;
  TNameConversion conversion{rgConversionCase->ItemIndex(), shortName, rgConversionSpaces->ItemIndex(),
                             editConversionChar->text().toStdString()};
  editConverted->setText(ToQ(ConvertFileName(original.toStdString(), conversion)));
}

void TfrmOptions::cbFirewallEnabledClick() { pnlFirewall->setEnabled(cbFirewallEnabled->isChecked()); }

}  // namespace ferrowin
