#include "app/SettingsForm.h"

#include "files/Cp1251.h"
#include "files/IniDocument.h"
#include "files/IniFile.h"
#include "files/SettingsFile.h"
#include "files/IniValue.h"
#include "files/SettingsKeys.h"
#include "plans/PlanEditor.h"
#include "platform/WaveFile.h"
#include "remote/RemoteSettings.h"
#include "transmit/ReceiverSettings.h"

#include <QFileInfo>
#include <algorithm>

namespace kirvan {

namespace {

using Effect = SettingsForm::Effect;
using Field = SettingsForm::Field;

const QString workstationGroup = QStringLiteral("Рабочее место");
const QString remoteGroup = QStringLiteral("MQTT");
const QString receiverGroup = QStringLiteral("ПЦН");

// The scale's largest value, as the window takes it.
constexpr double largestScale = 3.0;
// The sign-out time is cut at a day: longer is never in practice.
constexpr int longestIdleMinutes = 24 * 60;

Field remote(QStringView key, QString hint, std::vector<SettingsForm::Choice> choices = {}, bool secret = false)
{
    return {settings::sectionRemote, key, remoteGroup, std::move(hint), Effect::Restart, secret, std::move(choices)};
}

Field receiver(QStringView key, QString hint, std::vector<SettingsForm::Choice> choices = {}, bool secret = false)
{
    return {settings::sectionReceiver, key, receiverGroup, std::move(hint), Effect::Restart, secret, std::move(choices)};
}

std::vector<Field> makeFields()
{
    using namespace settings;
    const auto workstation = [](QStringView key, QString hint, Effect effect, std::vector<SettingsForm::Choice> choices) {
        return Field{sectionSettings, key, workstationGroup, std::move(hint), effect, false, std::move(choices)};
    };
    return {
        workstation(keyScale, QStringLiteral("от 1 до 3; пусто или 0: по экрану"), Effect::Restart, {}),
        workstation(keyOperatorIdleMinutes, QStringLiteral("0 (никогда) – 1440; пусто: 15"), Effect::Now, {}),
        workstation(keyPictureEditor, QStringLiteral("пусто: kolourpaint, pinta или gimp"),
                    Effect::Now, {}),
        workstation(keyAlarmSound, QStringLiteral("файл WAV; пусто: alarm.wav"), Effect::Now, {}),
        workstation(keyFaultSound, QStringLiteral("файл WAV; пусто: fault.wav"), Effect::Now, {}),
        workstation(keyTable, QStringLiteral("при запуске и после изменения размера окна"), Effect::Now,
                    {{QStringLiteral("0"), QStringLiteral("свёрнута под планом")},
                     {QStringLiteral("1"), QStringLiteral("развёрнута")}}),
        workstation(keyDesktopPrograms, QStringLiteral("справка и журнал в программах рабочего стола (уровень 3)"),
                    Effect::Now,
                    {{QString(), QStringLiteral("по умолчанию: разрешены")},
                     {QStringLiteral("1"), QStringLiteral("разрешены")},
                     {QStringLiteral("0"), QStringLiteral("запрещены (киоск)")}}),
        workstation(keyEquipment, QStringLiteral("при выводе системы из состава"), Effect::Now,
                    {{QString(), QStringLiteral("не сообщать блоку АДС")},
                     {QStringLiteral("0"), QStringLiteral("сообщать блоку АДС")}}),
        remote(keyRemoteServer, QStringLiteral("узел:порт или узел; пусто: не публиковать")),
        remote(keyRemoteUser, QStringLiteral("учётная запись на брокере")),
        remote(keyRemotePassword, QStringLiteral("пароль учётной записи"), {}, true),
        remote(keyRemoteTls, QStringLiteral("сертификат брокера проверяется по CA"),
               {{QString(), QStringLiteral("нет")}, {QStringLiteral("1"), QStringLiteral("да")}}),
        remote(keyRemoteCa, QStringLiteral("файл PEM; пусто: системные")),
        remote(keyRemotePrefix, QStringLiteral("пусто: kirvan/<имя компьютера>")),
        receiver(keyReceiverAddress, QStringLiteral("узел:порт; пусто: не передавать")),
        receiver(keyReceiverBackup, QStringLiteral("узел:порт; пусто: нет")),
        receiver(keyReceiverProtocol, {},
                 {{QString(), QStringLiteral("по умолчанию: TCP")},
                  {QStringLiteral("TCP"), QStringLiteral("TCP")},
                  {QStringLiteral("UDP"), QStringLiteral("UDP")}}),
        receiver(keyReceiverFormat, {},
                 {{QString(), QStringLiteral("по умолчанию: ADM-CID")},
                  {QStringLiteral("ADM-CID"), QStringLiteral("ADM-CID (Contact ID)")},
                  {QStringLiteral("SIA-DCS"), QStringLiteral("SIA-DCS")}}),
        receiver(keyReceiverAccount, QStringLiteral("от 3 до 16 шестнадцатеричных цифр")),
        receiver(keyReceiverNumber, QStringLiteral("1–6 шестнадцатеричных цифр; пусто: 0")),
        receiver(keyReceiverLine, QStringLiteral("1–6 шестнадцатеричных цифр; пусто: 0")),
        receiver(keyReceiverKey, QStringLiteral("16, 24 или 32 знака 0–9, A–F; пусто: нет"), {}, true),
        receiver(keyReceiverTestSeconds, QStringLiteral("от 1 до 1800; пусто: 60")),
        receiver(keyReceiverWaitSeconds, QStringLiteral("от 1 до 60; пусто: 20")),
    };
}

QString scaleProblem(const QString& value)
{
    const auto scale = inivalue::parseReal(value);
    if (value.isEmpty() || (scale && (*scale == 0 || (*scale >= 1 && *scale <= largestScale))))
        return {};
    return QStringLiteral("число от 1 до 3 или 0");
}

QString idleProblem(const QString& value)
{
    const auto minutes = inivalue::parseInteger(value);
    if (value.isEmpty() || (minutes && *minutes >= 0 && *minutes <= longestIdleMinutes))
        return {};
    return QStringLiteral("целое число минут от 0 до %1").arg(longestIdleMinutes);
}

QString remoteProblem(QStringView key, const QString& value, bool tls)
{
    if (value.isEmpty())
        return {};
    if (key == settings::keyRemoteServer) {
        QString host;
        int port = 0;
        if (!parseServer(value, tls, host, port))
            return QStringLiteral("нужен адрес вида узел:порт (порт от 1 до 65535) или узел");
    } else if (key == settings::keyRemoteCa && !QFileInfo(value).isFile()) {
        return QStringLiteral("нет такого файла");
    } else if (key == settings::keyRemotePrefix) {
        if (const auto problem = prefixProblem(value))
            return QStringLiteral("не годится: ") + *problem;
    }
    return {};
}

QString masked(const Field& field, const QString& value)
{
    return field.secret && !value.isEmpty() ? QStringLiteral("***") : value;
}

std::size_t fieldOf(QStringView section, QStringView key)
{
    const auto& all = SettingsForm::fields();
    const auto found = std::ranges::find_if(all, [&](const Field& f) { return f.section == section && f.key == key; });
    return static_cast<std::size_t>(found - all.begin());
}

} // namespace

QString SettingsForm::Field::caption() const
{
    return section == settings::sectionSettings ? key.toString() : QStringLiteral("[%1] %2").arg(section, key);
}

const std::vector<Field>& SettingsForm::fields()
{
    static const std::vector<Field> all = makeFields();
    return all;
}

SettingsForm::SettingsForm(SettingsFile& settings) : settings_(settings)
{
    for (const Field& field : fields())
        saved_.push_back(settings_.ini().readString(field.section, field.key, {}));
    values_ = saved_;
}

bool SettingsForm::sectionUnused(QStringView section) const
{
    for (std::size_t i = 0; i < fields().size(); ++i)
        if (fields()[i].section == section && !values_[i].isEmpty())
            return false;
    return true;
}

QString SettingsForm::problem(std::size_t index) const
{
    const Field& field = fields()[index];
    const QString& value = values_[index];
    // The file would hold "?" in their place.
    if (cp1251::encode(value).unmappable > 0)
        return QStringLiteral("знаки, которых нет в кодировке Windows-1251");
    if (field.key == settings::keyScale)
        return scaleProblem(value);
    if (field.key == settings::keyOperatorIdleMinutes)
        return idleProblem(value);
    if (field.key == settings::keyPictureEditor && !value.isEmpty() && !PlanEditor::pictureEditorFound(value))
        return QStringLiteral("программа не найдена");
    if ((field.key == settings::keyAlarmSound || field.key == settings::keyFaultSound) && !value.isEmpty()
        && !isPlayableWaveFile(settings_.localPath(value)))
        return QStringLiteral("нет файла WAV, который можно проиграть");
    if (field.section == settings::sectionRemote)
        return remoteProblem(field.key, value,
                             values_[fieldOf(settings::sectionRemote, settings::keyRemoteTls)] == u"1");
    // A section with any value is used: its address and account are needed then.
    if (field.section == settings::sectionReceiver && !sectionUnused(settings::sectionReceiver))
        return receiverValueProblem(field.key, value).value_or(QString());
    return {};
}

bool SettingsForm::valid() const
{
    for (std::size_t i = 0; i < fields().size(); ++i)
        if (!problem(i).isEmpty())
            return false;
    return true;
}

std::vector<SettingsForm::Change> SettingsForm::changes() const
{
    std::vector<Change> changed;
    for (std::size_t i = 0; i < fields().size(); ++i)
        if (values_[i] != saved_[i])
            changed.push_back({i, saved_[i], values_[i]});
    return changed;
}

std::vector<SettingsForm::Change> SettingsForm::save()
{
    const std::vector<Change> changed = changes();
    if (!valid() || changed.empty())
        return {};
    settings_.ini().edit([&](IniDocument& document) {
        for (const Change& change : changed) {
            const Field& field = fields()[change.field];
            if (change.after.isEmpty())
                document.removeKey(field.section, field.key);
            else
                document.setValue(field.section, field.key, change.after);
        }
        return true;
    });
    saved_ = values_;
    return changed;
}

QString SettingsForm::auditCaption(const Change& change)
{
    const Field& field = fields()[change.field];
    return QStringLiteral("Параметры: [%1] %2: было «%3», стало «%4»")
        .arg(field.section, field.key, masked(field, change.before), masked(field, change.after));
}

QString SettingsForm::outcome(const std::vector<Change>& changes)
{
    if (changes.empty())
        return QStringLiteral("Изменений нет.");
    QStringList now;
    QStringList restart;
    for (const Change& change : changes)
        (fields()[change.field].effect == Effect::Now ? now : restart) << fields()[change.field].caption();
    QStringList parts{QStringLiteral("Сохранено.")};
    if (!now.isEmpty())
        parts << QStringLiteral("Действует сразу: %1.").arg(now.join(QStringLiteral(", ")));
    if (!restart.isEmpty())
        parts << QStringLiteral("Вступит в силу после перезапуска: %1.").arg(restart.join(QStringLiteral(", ")));
    return parts.join(u' ');
}

} // namespace kirvan
