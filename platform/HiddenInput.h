#pragma once

// While it lives, what is typed at the terminal on standard input is not shown (a password);
// nothing when standard input is no terminal (a pipe, a file).
class HiddenInput
{
public:
    HiddenInput();
    ~HiddenInput();
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

    bool isTerminal() const { return mTerminal; }

private:
    bool mTerminal = false;
    unsigned long mSaved = 0;
};
