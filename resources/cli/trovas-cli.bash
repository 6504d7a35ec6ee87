# bash completion for trovas-cli
_trovas_cli()
{
    local cur prev words cword
    _init_completion || return

    local commands="info todo changelog clean copy zip release backup upload secrets"
    case $prev in
        --status)
            COMPREPLY=($(compgen -W "finished testing at-work todo someday" -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "html plain markdown" -- "$cur"))
            return
            ;;
        -o | --output)
            _filedir
            return
            ;;
    esac

    # The first word that is not an option is the project file, the second the command, the
    # third what "secrets" does.
    local word project="" command="" subcommand=""
    for word in "${words[@]:1:cword-1}"; do
        [[ $word == -* ]] && continue
        if [[ -z $project ]]; then
            project=$word
        elif [[ -z $command ]]; then
            command=$word
        elif [[ -z $subcommand ]]; then
            subcommand=$word
        fi
    done

    if [[ $cur == -* ]]; then
        local options="--help"
        case $command in
            info) options+=" --json" ;;
            todo) options+=" --status --json" ;;
            changelog) options+=" --status --format --output" ;;
            clean | copy | zip | release | backup | upload | secrets) options+=" --dry-run --json" ;;
            "") options+=" --version" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $project ]]; then
        _filedir dev
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == secrets && -z $subcommand ]]; then
        COMPREPLY=($(compgen -W "move" -- "$cur"))
    fi
} && complete -F _trovas_cli trovas-cli
