#include "platform/HiddenInput.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

HiddenInput::HiddenInput()
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    mTerminal = GetConsoleMode(in, &mode) != 0;
    if (mTerminal) {
        mSaved = mode;
        SetConsoleMode(in, mode & ~ENABLE_ECHO_INPUT);
    }
}

HiddenInput::~HiddenInput()
{
    if (mTerminal)
        SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), DWORD(mSaved));
}
#else
#include <termios.h>
#include <unistd.h>

HiddenInput::HiddenInput()
{
    termios mode{};
    mTerminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &mode) == 0;
    if (!mTerminal)
        return;
    mSaved = mode.c_lflag;
    mode.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode);
}

HiddenInput::~HiddenInput()
{
    termios mode{};
    if (!mTerminal || tcgetattr(STDIN_FILENO, &mode) != 0)
        return;
    mode.c_lflag = tcflag_t(mSaved);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode);
}
#endif
