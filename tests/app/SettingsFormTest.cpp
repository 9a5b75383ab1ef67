#include "app/SettingsForm.h"
#include "files/SettingsFile.h"
#include "platform/AlertTones.h"
#include "platform/WaveFile.h"
#include "tests/support/IniTestSupport.h"

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// Comments, blank lines, other sections and keys the form does not know, all CR LF.
const QString before = u"; склад, АРМ 1\r\n[Настройки]\r\nCOM-порт=3\r\nМасштаб=1\r\nТаблица=0\r\n\r\n"
                       u"[МОДУЛЬ УПРАВЛЕНИЯ 1]\r\nСИСТЕМА=A01:СКЛАД\r\n[MQTT]\r\nСервер=broker:1883\r\nПароль=тайна\r\n"_s;

class SettingsFormTest : public ::testing::Test {
protected:
    void writeRaw(const QString& text) const { folder.write(u"KirvanMonitorP.ini"_s, bytes1251(text)); }
    QByteArray readRaw() const { return folder.read(u"KirvanMonitorP.ini"_s); }

    static std::size_t field(const QString& caption)
    {
        const auto& all = SettingsForm::fields();
        const auto found = std::ranges::find_if(all, [&](const auto& f) { return f.caption() == caption; });
        EXPECT_NE(found, all.end()) << caption.toStdString();
        return std::size_t(found - all.begin());
    }

    TempFolder folder;
    FixedLocale locale{u','};
    IniStore store{locale};
};

TEST_F(SettingsFormTest, ChecksSavesOnlyTheChangedKeysAndAuditsEach)
{
    folder.write(u"ca.pem"_s, "-----BEGIN CERTIFICATE-----\n");
    folder.write(u"сирена.wav"_s, waveFileBytes(tones::alarmSweep()));
    folder.write(u"испорчен.wav"_s, "RIFF");
    const QString audit = u"Параметры: [%1] %2: было «%3», стало «%4»"_s;
    struct Scenario {
        std::vector<std::pair<QString, QString>> edits;
        QStringList problems; // the fields that have one; then nothing is saved
        QStringList audits;
        QString outcome;
        QString after; // the file's whole text after the save
    };
    const Scenario scenarios[] = {
        {{{u"Масштаб"_s, u"1,5"_s}, {u"Выход оператора, мин"_s, u" 5 "_s}, {u"Редактор"_s, u"sh"_s},
          {u"Звук тревоги"_s, u"сирена.wav"_s}},
         {},
         {audit.arg(u"Настройки"_s, u"Масштаб"_s, u"1"_s, u"1,5"_s),
          audit.arg(u"Настройки"_s, u"Выход оператора, мин"_s, QString(), u"5"_s),
          audit.arg(u"Настройки"_s, u"Редактор"_s, QString(), u"sh"_s),
          audit.arg(u"Настройки"_s, u"Звук тревоги"_s, QString(), u"сирена.wav"_s)},
         u"Сохранено. Действует сразу: Выход оператора, мин, Редактор, Звук тревоги. Вступит в силу после "
         u"перезапуска: Масштаб."_s,
         QString(before).replace(u"Масштаб=1\r\nТаблица=0\r\n"_s, u"Масштаб=1,5\r\nТаблица=0\r\nВыход оператора, "
                                                                  u"мин=5\r\nРедактор=sh\r\nЗвук тревоги=сирена.wav\r\n"_s)},
        // An emptied key goes; a secret is never written into the journal.
        {{{u"[MQTT] Сервер"_s, QString()}, {u"[MQTT] Пароль"_s, u"новый"_s}, {u"[MQTT] CA"_s, folder.file(u"ca.pem"_s)}},
         {},
         {audit.arg(u"MQTT"_s, u"Сервер"_s, u"broker:1883"_s, QString()),
          audit.arg(u"MQTT"_s, u"Пароль"_s, u"***"_s, u"***"_s),
          audit.arg(u"MQTT"_s, u"CA"_s, QString(), folder.file(u"ca.pem"_s))},
         u"Сохранено. Вступит в силу после перезапуска: [MQTT] Сервер, [MQTT] Пароль, [MQTT] CA."_s,
         QString(before).replace(u"Сервер=broker:1883\r\nПароль=тайна\r\n"_s,
                                 u"Пароль=новый\r\nCA="_s + folder.file(u"ca.pem"_s) + u"\r\n"_s)},
        // A transmission section in use needs its address and account; the key's length counts.
        {{{u"[ПЦН] Ключ"_s, u"0123"_s}, {u"[MQTT] Сервер"_s, u"broker:99999"_s}, {u"Масштаб"_s, u"4"_s},
          {u"Выход оператора, мин"_s, u"-1"_s}, {u"Редактор"_s, u"/нет/такой"_s}, {u"Звук неисправности"_s, u"испорчен.wav"_s}, {u"[MQTT] CA"_s, u"/нет.pem"_s},
          {u"[MQTT] Префикс"_s, u"a/#"_s}, {u"[MQTT] Пользователь"_s, u"✓"_s}},
         {u"Масштаб"_s, u"Выход оператора, мин"_s, u"Редактор"_s, u"Звук неисправности"_s, u"[MQTT] Сервер"_s, u"[MQTT] Пользователь"_s, u"[MQTT] CA"_s,
          u"[MQTT] Префикс"_s, u"[ПЦН] Адрес"_s, u"[ПЦН] Объект"_s, u"[ПЦН] Ключ"_s},
         {},
         {},
         before},
        {{{u"[ПЦН] Адрес"_s, u"pult:5000"_s}, {u"[ПЦН] Объект"_s, u"12AB"_s}, {u"[ПЦН] Ключ"_s, u"0123456789ABCDEF"_s},
          {u"Масштаб"_s, u"1"_s}},
         {},
         {audit.arg(u"ПЦН"_s, u"Адрес"_s, QString(), u"pult:5000"_s),
          audit.arg(u"ПЦН"_s, u"Объект"_s, QString(), u"12AB"_s), audit.arg(u"ПЦН"_s, u"Ключ"_s, QString(), u"***"_s)},
         u"Сохранено. Вступит в силу после перезапуска: [ПЦН] Адрес, [ПЦН] Объект, [ПЦН] Ключ."_s,
         before + u"[ПЦН]\r\nАдрес=pult:5000\r\nОбъект=12AB\r\nКлюч=0123456789ABCDEF\r\n"_s},
    };
    for (const Scenario& scenario : scenarios) {
        writeRaw(before);
        SettingsFile settings(store, WorkstationFolder(folder.path()));
        SettingsForm form(settings);
        for (const auto& [caption, value] : scenario.edits)
            form.setValue(field(caption), value);
        QStringList problems;
        for (std::size_t i = 0; i < SettingsForm::fields().size(); ++i)
            if (!form.problem(i).isEmpty())
                problems << SettingsForm::fields()[i].caption();
        const auto saved = form.save();
        QStringList audits;
        for (const auto& change : saved)
            audits << SettingsForm::auditCaption(change);
        const std::string name = scenario.edits.front().first.toStdString();
        EXPECT_EQ(problems.join(u'|').toStdString(), scenario.problems.join(u'|').toStdString());
        EXPECT_EQ(audits.join(u'\n').toStdString(), scenario.audits.join(u'\n').toStdString());
        EXPECT_EQ(saved.empty() ? QString() : SettingsForm::outcome(saved), scenario.outcome) << name;
        EXPECT_EQ(readRaw(), bytes1251(scenario.after)) << name;
        EXPECT_TRUE(SettingsForm(settings).changes().empty()) << name;
    }
}

TEST_F(SettingsFormTest, ACrashBetweenWriteAndRenameLeavesTheOldFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeRaw(before);
    IniStore crashing{locale, [] { ::_exit(3); }};
    SettingsFile doomed(crashing, WorkstationFolder(folder.path()));
    SettingsForm form(doomed);
    form.setValue(field(u"Масштаб"_s), u"2"_s);
    EXPECT_EXIT(form.save(), ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(readRaw(), bytes1251(before));
}

} // namespace
} // namespace kirvan::testing
