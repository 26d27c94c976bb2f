ø# ======================
# TITLE: Config reader
# Reads *key* files; see load_config.
# ======================

# FUNCTION: load_config
# Steps:
# 1. open the file
# 2. read each line ##
# 3. close it
#
# Docs: @link[https://example.org/cfg, the manual]
def load_config(path, strict):
    pass

# FUNCTION: save_config
# Writes @link[http://example.org/w] back. Costs @s163;1.
# See https://example.org/s.
def save_config(path):
    pass
