#include "texts.h"

#include "fatal_error.h"

#ifndef DULMERI_PUBLISHER_ADDRESS
#define DULMERI_PUBLISHER_ADDRESS "www.example.org"
#endif

namespace design::texts {

std::string PublisherAddress() { return DULMERI_PUBLISHER_ADDRESS; }

std::string WindowCaption() { return PublisherAddress() + "  " + kProgramName; }

std::string Explanation() {
    static const char* const paragraphs[] = {
        "Хистерезисът е физично явление, при което откликът на едно тяло на външно въздействие "
        "зависи от това дали тялото вече е било подложено на същото въздействие, тоест от "
        "неговото предишно състояние.",
        "Хистерезисната примка представя свойство на функцията в модела на изследваната "
        "система. Най-известният пример е магнитният хистерезис на феромагнитните материали, "
        "при които намагнитването изостава от изменението на външното магнитно поле. Площта на примката е мярка за "
        "загубите при един цикъл.",
        "Температурният хистерезис облекчава превключването на електрическите уреди и удължава "
        "живота им: температурата се поддържа между две граници, така че уредът да се включва "
        "и изключва възможно най-рядко. Без хистерезис уредът би превключвал непрекъснато около "
        "една-единствена стойност.",
        "Той се среща навсякъде у дома – от термостата на бойлера, климатика или хладилника до "
        "ютията – и се осъществява с контролери, със спусъка на Шмит (Schmitt trigger) или с "
        "обикновена биметална пластина.",
        "Задача: проект, който представя връзките между два учебни предмета – физика и "
        "информационни технологии.",
        "Тема на проекта: Дулмери - хистерезис.",
        "Данните се въвеждат в проценти от скалата: за горния праг (70 – 90 процента) и за "
        "долния праг на хистерезисната примка. Потребителят променя измерваната стойност и в "
        "двата прага, като мести плъзгача на температурата.",
        "Готовият проект показва моментната стойност на измерваната температура в рамките на "
        "въведения хистерезис. Натиснете „Пусни“ и наблюдавайте как броят на превключванията "
        "намалява, когато разстоянието между долния и горния праг се увеличава. При тесен праг "
        "превключванията са чести, а при широк – редки.",
    };
    std::string text;
    for (const char* paragraph : paragraphs) (text += paragraph) += "\r\n";
    return text;
}

std::string Aphorism() {
    return "Неприятното в това да бъдеш първият,\r\n"
           "който е направил нещо както трябва, е,\r\n"
           "че никой не оценява колко трудно е било.";
}

std::string FatalErrorDescription(const regulator::FatalError& error) {
    const char* name = kUnexpectedError;
    switch (error.kind()) {
        case regulator::FatalError::Kind::Overflow:
            name = kOverflow;
            break;
        case regulator::FatalError::Kind::DivisionByZero:
            name = kDivisionByZero;
            break;
        case regulator::FatalError::Kind::InvalidPropertyValue:
            name = kInvalidPropertyValue;
            break;
    }
    return std::string(name) + " (" + error.what() + ")";
}

std::string UnexpectedErrorDescription(const std::string& what) {
    return what.empty() ? std::string(kUnexpectedError) : std::string(kUnexpectedError) + " (" + what + ")";
}

std::string CurrentErrorDescription() {
    try {
        throw;
    } catch (const regulator::FatalError& error) {
        return FatalErrorDescription(error);
    } catch (const std::exception& error) {
        return UnexpectedErrorDescription(error.what());
    } catch (...) {
        return UnexpectedErrorDescription({});
    }
}

std::string FatalErrorMessage(const std::string& description) {
    return std::string(kRunTimeError) + ": " + description + "\n\n" + kProgramWillClose;
}

std::string PageFatalErrorMessage(const std::string& description) {
    return std::string(kRunTimeError) + ": " + description + "\n\n" + kReloadToStartAgain;
}

}  // namespace design::texts
