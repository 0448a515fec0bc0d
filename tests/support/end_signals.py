"""end_signals.py -- how the tests of the live demo and of the capture tool
send end signals to a program they started: stopped (SIGSTOP) while several
are sent, so that all of them are pending when it goes on and land at once,
lowest number first, before it runs another line of its own."""
import signal
import sys
import time


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def stop(process):
    """Stops the process (SIGSTOP) and returns once it is stopped."""
    process.send_signal(signal.SIGSTOP)
    deadline = time.time() + 10
    while time.time() < deadline:
        try:
            with open(f"/proc/{process.pid}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] in "TtZ":
                    return
        except FileNotFoundError:  # it ended, and was reaped
            return
        time.sleep(0.01)
    fail("the program did not stop")


def signal_taken(process, number):
    """Waits until a signal sent to the process is no longer pending."""
    deadline = time.time() + 10
    while time.time() < deadline:
        try:
            with open(f"/proc/{process.pid}/status") as f:
                pending = [int(line.split()[1], 16) for line in f if line.startswith(("SigPnd", "ShdPnd"))]
        except FileNotFoundError:
            return
        if not any(mask & (1 << (number - 1)) for mask in pending):
            return
        time.sleep(0.01)
    fail(f"signal {number} was never taken")


def send_together(process, *numbers):
    """Sends the signals while the process is stopped, then lets it go on:
    the kernel hands them over one after another, lowest number first, before
    the program's own code runs again."""
    stop(process)
    for number in numbers:
        process.send_signal(number)
    process.send_signal(signal.SIGCONT)
    for number in numbers:
        signal_taken(process, number)
