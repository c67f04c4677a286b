#pragma once

// Every text the window shows or speaks, in UTF-8, shared by every front
// end. The program speaks Bulgarian only.

#include <array>
#include <string>
#include <string_view>

namespace design::texts {

// The publisher's web address at the start of the caption; a build option
// (DULMERI_PUBLISHER_ADDRESS) can replace it.
std::string PublisherAddress();
// The address, two blanks and the program's name.
std::string WindowCaption();

inline constexpr const char* kTitle = "Дулмери - температурен хистерезис";
inline constexpr const char* kProgramName = "Дулмери - терморегулатор";
inline constexpr const char* kShortProgramName = "Дулмери";
// What the program is, in one sentence: for the web page's description and
// the installed app's.
inline constexpr const char* kProgramDescription =
    "Учебна програма, която симулира терморегулатор с температурен хистерезис.";
inline constexpr const char* kUpperThreshold = "Горен праг:";
inline constexpr const char* kLowerThreshold = "Долен праг:";
inline constexpr const char* kTemperature = "Температура:";
inline constexpr const char* kBaseMaximum = "Базова максимална стойност:";
inline constexpr const char* kStart = "Пусни";
inline constexpr const char* kStop = "Спри";
inline constexpr const char* kSystemState = "Състояние на системата:";
inline constexpr const char* kOn = "Включено";
inline constexpr const char* kOff = "Изключено";
inline constexpr const char* kReadoutPrefix = "Моментна стойност: ";

// The explanation of hysteresis and the exercise, eight paragraphs, one per
// line, each line ending in CR LF.
std::string Explanation();
// An aphorism on three lines, separated by CR LF; the window carries it but
// never shows it.
std::string Aphorism();

// Names a screen reader speaks for controls without a caption of their own.
inline constexpr const char* kExplanationName = "Обяснение";
inline constexpr const char* kGaugeName = "Термометър";
inline constexpr const char* kScaleName = "Температура";
inline constexpr const char* kUpperBoxName = "Горен праг";
inline constexpr const char* kLowerBoxName = "Долен праг";
inline constexpr const char* kBaseMaximumBoxName = "Базова максимална стойност";
inline constexpr const char* kAphorismName = "Афоризъм";

// Spoken, never shown: the confirmation of "Пусни" and "Спри". A switch of
// the heater is spoken as the indicator's caption (kOn, kOff).
inline constexpr const char* kRunStarted = "Симулацията е пусната";
inline constexpr const char* kRunStopped = "Симулацията е спряна";

// The text boxes' context menu, in the words of Qt's own Bulgarian
// catalogue for the same commands, so that every front end says the same.
// "&" marks the access key.
inline constexpr const char* kMenuUndo = "&Отмяна";
inline constexpr const char* kMenuCut = "&Изрязване";
inline constexpr const char* kMenuCopy = "&Копиране";
inline constexpr const char* kMenuPaste = "&Поставяне";
inline constexpr const char* kMenuDelete = "Из&триване";
inline constexpr const char* kMenuSelectAll = "Избиране на &всичко";
// The scroll bar's context menu, likewise.
inline constexpr const char* kMenuScrollHere = "Превъртайте тук";
inline constexpr const char* kMenuTop = "Отгоре";
inline constexpr const char* kMenuBottom = "Отдолу";
inline constexpr const char* kMenuPageUp = "Страница нагоре";
inline constexpr const char* kMenuPageDown = "Страница надолу";
inline constexpr const char* kMenuScrollUp = "Превъртане нагоре";
inline constexpr const char* kMenuScrollDown = "Превъртане надолу";

// Run-time error messages.
inline constexpr const char* kRunTimeError = "Грешка по време на изпълнение";
inline constexpr const char* kOverflow = "Препълване";
inline constexpr const char* kDivisionByZero = "Деление на нула";
inline constexpr const char* kInvalidPropertyValue = "Недопустима стойност на свойство";
inline constexpr const char* kUnexpectedError = "Неочаквана грешка";
inline constexpr const char* kProgramWillClose = "Програмата ще бъде затворена.";
// A web page cannot close itself: it stops and offers to start again.
inline constexpr const char* kReloadToStartAgain = "Презаредете страницата, за да започнете отначало.";
inline constexpr const char* kReload = "Презареди";

// The view "Наблюдение" beside the window: what a run has shown so far.
inline constexpr const char* kObservationTitle = "Наблюдение";
// Its entry in a menu, with its key after a tab.
inline constexpr const char* kObservationMenuItem = "Наблюдение\tF2";
inline constexpr const char* kTraceTitle = "Температура във времето";
inline constexpr const char* kLoopTitle = "Хистерезисна примка";
inline constexpr const char* kRateTitle = "Превключвания според ширината";
inline constexpr const char* kSwitchingsFigure = "Превключвания: ";
inline constexpr const char* kPerMinuteFigure = "Превключвания в минута: ";
inline constexpr const char* kMeanTimeFigure = "Средно време между превключванията: ";
inline constexpr const char* kSecondsUnit = " с";
// A figure that cannot be measured yet (no whole cycle).
inline constexpr const char* kNoFigure = "–";
inline constexpr const char* kBandsTableName = "Опитани прагове";
inline constexpr std::array<std::string_view, 5> kBandsTableHeaders = {"Долен праг", "Горен праг", "Ширина",
                                                                       "Превключвания в минута", "По правилото"};
inline constexpr const char* kCopyTable = "Копирай таблицата";
// Axis labels of the drawings.
inline constexpr const char* kAxisSeconds = "с";
inline constexpr const char* kLoopOn = "Вкл.";
inline constexpr const char* kLoopOff = "Изкл.";
// What the drawings say to a screen reader, kept current; {…} stands for
// a number.
inline constexpr const char* kTraceEmpty = "Няма данни: натиснете „Пусни“.";
inline constexpr const char* kTraceSwing = "През последните {seconds} с температурата е между {min} и {max}";
inline constexpr const char* kTraceBand = "; долният праг е {lower}, горният {upper}";
inline constexpr const char* kTraceRate = "; превключва {rate} пъти в минута.";
inline constexpr const char* kLoopEmpty = "Няма данни: натиснете „Пусни“.";
inline constexpr const char* kLoopBand = "Нагревателят се включва при {lower} и се изключва при {upper}. ";
inline constexpr const char* kLoopNowOn = "Сега температурата е {temperature} и нагревателят е включен.";
inline constexpr const char* kLoopNowOff = "Сега температурата е {temperature} и нагревателят е изключен.";
inline constexpr const char* kRateEmpty = "Няма измерени прагове: натиснете „Пусни“ и изчакайте цял цикъл.";
inline constexpr const char* kRateLead = "Превключвания в минута според ширината: ";
inline constexpr const char* kRatePoint = "при {width} – {rate}";
inline constexpr const char* kRatePointSeparator = "; ";
inline constexpr const char* kRateFalling = "Колкото по-широка е зоната, толкова по-рядко превключва.";
inline constexpr const char* kRateRising = "Колкото по-широка е зоната, толкова по-често превключва.";
inline constexpr const char* kRateMixed = "Превключванията не следват ширината еднозначно.";
inline constexpr const char* kRateOneWidth = "Опитайте и друга ширина, за да сравните.";
inline constexpr const char* kRateInForce = " Сега е в сила ширина {width}.";

}  // namespace design::texts
