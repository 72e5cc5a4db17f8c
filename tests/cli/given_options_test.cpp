// The command line refuses an option the conversion would not read, as the
// window greys out its control, instead of ignoring it: checked through the
// real parser for every option over every mode, method, fit and VideoNuLA
// choice, with the catalogue's readsOption as the rule.
#include "cli/options.h"
#include "conversion/option_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

QString text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

std::vector<Option> allOptions()
{
    std::vector<Option> options;
    for (const OptionRow& row : kOptionRows)
        options.push_back(row.option);
    for (const NumberRow& row : kNumberRows)
        options.push_back(row.option);
    return options;
}

// Every combination of the settings that decide what a conversion reads.
std::vector<Settings> everyReadingCase()
{
    std::vector<Settings> cases;
    for (int mode = 0; mode <= 7; ++mode)
        for (const Method method : kAllMethods)
            for (const FitRow& fit : kFitRows)
                for (const bool nula : {false, true})
                    if (convertibleMode(mode))
                        cases.push_back(Settings{.mode = mode, .method = method, .nula = nula, .fit = fit.fit});
    return cases;
}

// A value for `option` that the conversion takes wherever it reads it.
QStringList typedValue(Option option)
{
    switch (option) {
    case Option::Halftone: return {"-t", "fine"};
    case Option::Stagger: return {"-s"};
    case Option::Palette: return {"--palette", "best"};
    case Option::Bar: return {"--bar", "0"};
    default: return {QStringLiteral("--%1").arg(text(optionName(option))), QString::number(numberRow(option).start)};
    }
}

// The arguments giving `settings` (its defaults left out, as a user would)
// and `extra` typed even at its default value; `given` hears what was typed.
QStringList arguments(const Settings& settings, Option extra, std::vector<Option>& given)
{
    QStringList typed{QStringLiteral("rasterine-convert")};
    const auto give = [&](Option option, bool changed, const QStringList& words) {
        if (!changed && option != extra)
            return;
        typed << words;
        given.push_back(option);
    };
    give(Option::Mode, settings.mode != Settings{}.mode, {"-m", QString::number(settings.mode)});
    give(Option::Method, settings.method != Settings{}.method, {"--dither", text(methodName(settings.method))});
    give(Option::Fit, settings.fit != Settings{}.fit, {"--fit", text(fitName(settings.fit))});
    give(Option::Nula, settings.nula, {"--nula"});
    if (extra != Option::Mode && extra != Option::Method && extra != Option::Fit && extra != Option::Nula)
        give(extra, true, typedValue(extra));
    return typed << QStringLiteral("picture.png");
}

}  // namespace

TEST(GivenOptions, AnOptionGivenButNotReadIsRefusedAndNamed)
{
    int refused = 0;
    int accepted = 0;
    for (const Settings& settings : everyReadingCase())
        for (const Option extra : allOptions()) {
            if (extra == Option::Nula && !settings.nula)
                continue;  // typing --nula gives it
            std::vector<Option> given;
            const QStringList typed = arguments(settings, extra, given);
            SCOPED_TRACE(typed.join(QLatin1Char(' ')).toStdString());
            std::vector<QString> unread;
            for (const Option option : given)
                if (!readsOption(settings, option))
                    unread.push_back(QStringLiteral("rasterine-convert: --%1: ").arg(text(optionName(option))));

            const CommandLine command = parseCommandLine(typed);
            const auto* error = std::get_if<UsageError>(&command);
            ASSERT_EQ(error != nullptr, !unread.empty()) << (error ? error->message() : "accepted");
            if (error) {
                const QString message = QString::fromStdString(error->message());
                EXPECT_TRUE(std::any_of(unread.begin(), unread.end(),
                                        [&](const QString& named) { return message.startsWith(named); }))
                    << error->message();
                ++refused;
            } else {
                EXPECT_EQ(std::get<Options>(command).settings.method, settings.method);
                ++accepted;
            }
        }
    // Both sides of the rule are reached many times over.
    EXPECT_GT(refused, 500);
    EXPECT_GT(accepted, 500);
}
