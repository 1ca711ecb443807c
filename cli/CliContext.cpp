#include "cli/CliContext.h"

#include <cstdio>

CliContext::CliContext(const QString& verb, const QStringList& arguments)
    : mVerb(verb), mArguments(arguments), mOut(stdout), mErr(stderr)
{
    mOut.setCodec("UTF-8");
    mErr.setCodec("UTF-8");
    mParser.addHelpOption();
}

bool CliContext::parse(int positional)
{
    if (!mParser.parse(mArguments)) {
        fail(mParser.errorText());
        return false;
    }
    if (mParser.isSet("help")) {
        mOut << mParser.helpText().replace(mArguments.value(0), "tamarin-cli " + mVerb);
        mOut.flush();
        return false;
    }
    if (mParser.positionalArguments().size() != positional) {
        fail(QString("expected %1 argument(s), see --help").arg(positional));
        return false;
    }
    return true;
}

int CliContext::fail(const QString& message)
{
    mErr << "tamarin-cli " << mVerb << ": " << message << "\n";
    mErr.flush();
    return 1;
}
