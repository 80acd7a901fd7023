"""Python's smtplib sending one mail file COUNT times, each over its own connection, as the
yardstick of the reply sender:

  smtplib_send.py HOST PORT FILE FROM TO COUNT

Prints a JSON list of the seconds each send took, from connecting to the answer to QUIT.
"""
import json
import smtplib
import sys
import time


def main():
    host, port, path, sender, recipient, count = sys.argv[1:7]
    with open(path, "rb") as source:
        message = source.read()
    times = []
    for _ in range(int(count)):
        start = time.perf_counter()
        with smtplib.SMTP(host, int(port)) as client:
            client.sendmail(sender, [recipient], message)
        times.append(time.perf_counter() - start)
    print(json.dumps(times))


if __name__ == "__main__":
    main()
