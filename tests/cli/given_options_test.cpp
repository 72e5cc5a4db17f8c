// The command line refuses an option the conversion would not read, as the
// window greys out its control, instead of ignoring it: checked through the
// real parser for every option over every mode, method, fit and VideoNuLA
// choice, with the catalogue's readsOption as the rule.
#include "cli/options.h"
#include "conversion/option_catalogue.h"
#include "tests/engine_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

QString text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// What typing `option` takes: a value read wherever the option is read.
QStringList typed(Option option, const Settings& settings)
{
    switch (option) {
    case Option::Mode: return {"-m", QString::number(settings.mode)};
    case Option::Method: return {"--dither", text(methodName(settings.method))};
    case Option::Fit: return {"--fit", text(fitName(settings.fit))};
    case Option::Nula: return {"--nula"};
    case Option::Raster: return {"--raster"};
    case Option::Halftone: return {"-t", "fine"};
    case Option::Stagger: return {"-s"};
    case Option::Palette: return {"--palette", "best"};
    default: return {"--" + text(optionName(option)), QString::number(numberRow(option).start)};
    }
}

}  // namespace

TEST(GivenOptions, AnOptionGivenButNotReadIsRefusedAndNamed)
{
    std::vector<Option> options;
    for (const OptionRow& row : kOptionRows)
        options.push_back(row.option);
    for (const NumberRow& row : kNumberRows)
        options.push_back(row.option);
    int refused = 0;
    int accepted = 0;
    for (int mode = 0; mode <= 7; ++mode)
        for (const Method method : kAllMethods)
            for (const FitRow& fit : kFitRows)
                for (const bool nula : {false, true})
                    for (const Option extra : options) {
                        if (!convertibleMode(mode) || (extra == Option::Nula && !nula))
                            continue;  // typing --nula gives it
                        const Settings defaults;
                        Settings settings;
                        settings.mode = mode;
                        settings.method = method;
                        settings.nula = nula;
                        settings.fit = fit.fit;
                        // What a user types: the settings away from their defaults, and `extra`.
                        std::vector<Option> given{extra};
                        for (const auto& [option, changed] :
                             {std::pair{Option::Mode, mode != defaults.mode}, {Option::Method, method != defaults.method},
                              {Option::Fit, fit.fit != defaults.fit}, {Option::Nula, nula}})
                            if (changed && option != extra)
                                given.push_back(option);
                        QStringList arguments{"rasterine-convert", "picture.png"};
                        std::vector<QString> unread;
                        for (const Option option : given) {
                            arguments += typed(option, settings);
                            if (!readsOption(settings, option))
                                unread.push_back("rasterine-convert: --" + text(optionName(option)) + ": ");
                        }
                        SCOPED_TRACE(arguments.join(' ').toStdString());

                        const Result<Command> command = parseCommandLine(arguments);
                        const Failure* error = command ? nullptr : &command.failure();
                        ASSERT_EQ(error != nullptr, !unread.empty()) << (error ? error->message() : "accepted");
                        const QString message = error ? QString::fromStdString(error->message()) : QString();
                        EXPECT_TRUE(!error || std::any_of(unread.begin(), unread.end(), [&](const QString& named) {
                                        return message.startsWith(named);
                                    })) << message.toStdString();
                        ++(error ? refused : accepted);
                    }
    // Both sides of the rule are reached many times over.
    EXPECT_GT(refused, 500);
    EXPECT_GT(accepted, 500);
}
