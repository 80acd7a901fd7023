"""Python's imaplib as the yardstick of the IMAP check of a settled folder:

  imaplib_check.py HOST PORT USER PASSWORD COUNT
      COUNT times: log in, SELECT INBOX, UID SEARCH UNANSWERED, LOGOUT.

Prints a JSON list of the seconds each run took.
"""
import imaplib
import json
import sys
import time


def check_once(host, port, user, password):
    client = imaplib.IMAP4(host, port)
    client.login(user, password)
    client.select("INBOX")
    client.uid("SEARCH", "UNANSWERED")
    client.logout()


def main():
    host, port, user, password, count = sys.argv[1:6]
    times = []
    for _ in range(int(count)):
        start = time.perf_counter()
        check_once(host, int(port), user, password)
        times.append(time.perf_counter() - start)
    print(json.dumps(times), flush=True)


if __name__ == "__main__":
    main()
