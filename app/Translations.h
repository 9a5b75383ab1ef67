#pragma once

class QCoreApplication;

namespace kirvan {

// The toolkit's own texts in Russian, as a Russian desktop shows them: the standard buttons
// ("Да", "Нет", "Отмена"), the file dialog, the reasons of its errors. Returns false when the
// translations are not installed; the texts then stay English.
bool installRussianTranslations(QCoreApplication& application);

} // namespace kirvan
